#include "ui/shell/launches.h"

#include "core/shell/addresses.h"
#include "shell/enciphered_addresses.h"
#include "ui/common/seams.h"

#include <QCoreApplication>
#include <QStandardPaths>

namespace quarbel {
namespace {

QUrl pageUrl(const char *cipher) {
    return resolveAddress(decipherAddress(QString::fromLatin1(cipher)),
                          findHelpDir(QCoreApplication::applicationDirPath()));
}

void open(const char *cipher) {
    if (const QUrl url = pageUrl(cipher); url.isValid())
        Seams::instance().openUrl(url);
}

} // namespace

QUrl homePageUrl() {
    return pageUrl(enciphered::homePage);
}

void openHomePage() {
    open(enciphered::homePage);
}

void openTutorial() {
    open(enciphered::tutorial);
}

void openHelp() {
    open(enciphered::help);
}

void startCalculator() {
#ifdef Q_OS_WIN
    constexpr bool windows = true;
#else
    constexpr bool windows = false;
#endif
    const QString program = chooseCalculator(windows, [](const QString &name) {
        return !QStandardPaths::findExecutable(name).isEmpty();
    });
    if (!program.isEmpty())
        Seams::instance().startProgram(program, {});
}

} // namespace quarbel
