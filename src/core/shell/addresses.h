#pragma once

#include <QString>
#include <QUrl>

#include <functional>

namespace quarbel {

// The three addresses are kept as texts of comma-separated numbers so that they do not sit in
// the program as plain text; each number is one UTF-8 byte mixed with a rolling key. The build
// writes the enciphered texts (cmake/Encipher.cmake uses the same key).
QString encipherAddress(const QString &address);
// Empty when the text is not a well-formed cipher (a field that is not a number 0..255).
QString decipherAddress(const QString &numbers);

// An address with a scheme is used as it is; any other names a page of the help shipped with
// the program, under `helpDir`. An empty address, or a page without a help folder, gives an
// invalid URL: there is nothing to open.
QUrl resolveAddress(const QString &address, const QString &helpDir);

// The help folder beside the program: the installed layout (bin/ next to share/quarbel/help)
// or the build tree (help/ next to the executable). Empty when neither holds the index page.
QString findHelpDir(const QString &programDir);

// The calculator to start: calc.exe on Windows, elsewhere the first of the usual desktop
// calculators that `installed` accepts; empty when none is.
QString chooseCalculator(bool windows, const std::function<bool(const QString &)> &installed);

} // namespace quarbel
