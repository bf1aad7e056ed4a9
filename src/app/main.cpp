#include "ui/shell/main_window.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quarbel"));
    QApplication::setDesktopFileName(QStringLiteral("quarbel"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pictures/quarbel.svg")));
    quarbel::MainWindow window;
    window.show();
    return QApplication::exec();
}
