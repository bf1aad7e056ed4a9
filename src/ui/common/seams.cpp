#include "ui/common/seams.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTextDocument>

#include <cstdio>
#include <cstdlib>

namespace quarbel {
namespace {
Seams *g_installed = nullptr;
} // namespace

QString Seams::saveFileName(QWidget *parent, const QString &title, const QString &dir,
                            const QString &filters, QString *selectedFilter) {
    // Overwrites are confirmed through confirmOverwrite(), after the extension is settled.
    return QFileDialog::getSaveFileName(parent, title, dir, filters, selectedFilter,
                                        QFileDialog::DontConfirmOverwrite);
}

QString Seams::openFileName(QWidget *parent, const QString &title, const QString &dir,
                            const QString &filters) {
    return QFileDialog::getOpenFileName(parent, title, dir, filters);
}

bool Seams::confirmOverwrite(QWidget *parent, const QString &path) {
    return QMessageBox::question(parent, QStringLiteral("另存为"),
                                 QStringLiteral("%1 已存在。\n要替换它吗？").arg(path)) ==
           QMessageBox::Yes;
}

void Seams::message(QWidget *parent, const QString &title, const QString &text) {
    QMessageBox::information(parent, title, text);
}

void Seams::openUrl(const QUrl &url) {
    QDesktopServices::openUrl(url);
}

bool Seams::startProgram(const QString &program, const QStringList &arguments) {
    return QProcess::startDetached(program, arguments);
}

void Seams::setBusy(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

bool Seams::printDocument(QWidget *parent, QTextDocument &document) {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("打印报告"));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    document.print(&printer);
    return true;
}

void Seams::endProgram() {
    // Nothing is kept between runs, so there is nothing to save or ask. Leaving the event loop
    // would wait for a handler that lets events run (the generator's loops) to finish first.
    std::fflush(nullptr);
    std::_Exit(0);
}

Seams &Seams::instance() {
    static Seams real;
    return g_installed ? *g_installed : real;
}

void Seams::install(Seams *seams) {
    g_installed = seams;
}

QString dialogStartFolder(const QString &remembered) {
    if (!remembered.isEmpty() && QFileInfo(remembered).isDir())
        return remembered;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

} // namespace quarbel
