#include "ui/shell/main_window.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QIcon>

namespace {

void nameApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("Quarbel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUARBEL_VERSION));
}

void describeOptions(QCommandLineParser &parser) {
    parser.setApplicationDescription(
        QStringLiteral("医学统计学计算器：八种经典统计方法，结果随每一次按键更新。\n"
                       "A medical statistics calculator for clinicians."));
    parser.addHelpOption();
    parser.addVersionOption();
}

// --version and --help must work on a machine without a display (a terminal over ssh, a
// package check), where QApplication aborts as soon as it is built. They are answered from a
// QCoreApplication that goes away before the window system is touched.
void answerInformationOptions(int &argc, char **argv) {
    QCoreApplication probe(argc, argv);
    nameApplication();
    QCommandLineParser parser;
    describeOptions(parser);
    // Qt's own options (-platform, -reverse, ...) are still in the arguments: a word after one
    // dash is read whole, so -reverse is not taken for -r -e -v ... Unknown options are left
    // for the full check once QApplication has removed Qt's.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.parse(probe.arguments());
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp();
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
}

} // namespace

int main(int argc, char *argv[]) {
    answerInformationOptions(argc, argv);

    QApplication app(argc, argv);
    nameApplication();
    QApplication::setDesktopFileName(QStringLiteral("org.quarbel.Quarbel"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pictures/quarbel.svg")));
    // Anything QApplication did not take is ours: an unknown option ends with a message and a
    // failure status rather than opening the window as if nothing were wrong.
    QCommandLineParser parser;
    describeOptions(parser);
    parser.process(app);

    quarbel::MainWindow window;
    window.show();
    return QApplication::exec();
}
