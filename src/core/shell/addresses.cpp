#include "core/shell/addresses.h"

#include <QDir>
#include <QFileInfo>

#include <array>

namespace quarbel {
namespace {

// Rolling key of byte i; cmake/Encipher.cmake computes the same.
int keyAt(qsizetype i) {
    return int((73 + 29 * i) % 256);
}

} // namespace

QString encipherAddress(const QString &address) {
    const QByteArray bytes = address.toUtf8();
    QStringList numbers;
    numbers.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i)
        numbers << QString::number(quint8(bytes[i]) ^ keyAt(i));
    return numbers.join(u',');
}

QString decipherAddress(const QString &numbers) {
    if (numbers.trimmed().isEmpty())
        return {};
    QByteArray bytes;
    qsizetype i = 0;
    for (QStringView field : numbers.split(u',')) {
        bool ok = false;
        const uint value = field.trimmed().toUInt(&ok);
        if (!ok || value > 255)
            return {};
        bytes.append(char(value ^ uint(keyAt(i++))));
    }
    return QString::fromUtf8(bytes);
}

QUrl resolveAddress(const QString &address, const QString &helpDir) {
    if (address.isEmpty())
        return {};
    // A one-letter scheme is a Windows drive, not an address of its own.
    QUrl url(address);
    if (url.isValid() && url.scheme().size() > 1)
        return url;
    if (helpDir.isEmpty())
        return {};
    return QUrl::fromLocalFile(QDir(helpDir).absoluteFilePath(address));
}

QString findHelpDir(const QString &programDir) {
    const QDir dir(programDir);
    for (const char *relative : {"../share/quarbel/help", "help"}) {
        QString candidate = QDir::cleanPath(dir.absoluteFilePath(QLatin1String(relative)));
        if (QFileInfo::exists(candidate + QStringLiteral("/index.html")))
            return candidate;
    }
    return {};
}

QString chooseCalculator(bool windows, const std::function<bool(const QString &)> &installed) {
    if (windows)
        return QStringLiteral("calc.exe");
    static const std::array<const char *, 6> programs{
        "gnome-calculator", "kcalc", "galculator", "mate-calc", "qalculate-gtk", "xcalc"};
    for (const char *program : programs) {
        QString name = QLatin1String(program);
        if (installed(name))
            return name;
    }
    return {};
}

} // namespace quarbel
