#include "robust_support.h"

#include <QApplication>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QWidget>

namespace quarbel::robust {

QString QuietSeams::saveFileName(QWidget *, const QString &, const QString &, const QString &,
                                 QString *) {
    return std::exchange(nextPath, QString());
}

QString QuietSeams::openFileName(QWidget *, const QString &, const QString &, const QString &) {
    return std::exchange(nextPath, QString());
}

void QuietSeams::message(QWidget *, const QString &title, const QString &text) {
    messages.append(title + u'|' + text);
}

void typeCharacter(QWidget *target, const QString &ch) {
    const char16_t c = ch.isEmpty() ? 0 : ch[0].unicode();
    int code = Qt::Key_unknown;
    if (c >= u'0' && c <= u'9')
        code = Qt::Key_0 + (c - u'0');
    else if (c >= u'a' && c <= u'z')
        code = Qt::Key_A + (c - u'a');
    else if (c >= u'A' && c <= u'Z')
        code = Qt::Key_A + (c - u'A');
    else if (c > 0 && c < 128)
        code = c;
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, ch);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, ch);
    QApplication::sendEvent(target, &release);
}

void pressKey(QWidget *target, int key) {
    target->setFocus();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QWidget *now = QApplication::focusWidget() ? QApplication::focusWidget() : target;
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(now, &release);
}

QString malformedNumber(const QString &shown) {
    // A regression equation "Y=a+bX" joins two numbers by the slope's sign: check each.
    static const QRegularExpression equation(QStringLiteral("^Y=(.*[0-9])([+-][0-9.]+)X$"));
    if (const auto m = equation.match(shown); m.hasMatch()) {
        const QString slope = m.captured(2);
        const QString why = malformedNumber(m.captured(1));
        return why.isEmpty() ? malformedNumber(slope.startsWith(u'+') ? slope.mid(1) : slope) : why;
    }
    static const QRegularExpression words(QStringLiteral("(?i)\\b(nan|inf|infinity)\\b"));
    if (shown.contains(words))
        return QStringLiteral("not a number");
    // Every run of number characters that holds a digit must be one plain decimal.
    static const QRegularExpression runs(QStringLiteral("[0-9.eE+-]*[0-9][0-9.eE+-]*"));
    static const QRegularExpression number(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
    static const QRegularExpression negativeZero(QStringLiteral("^-0(\\.0+)?$"));
    for (auto it = runs.globalMatch(shown); it.hasNext();) {
        const QString core = it.next().captured();
        if (!number.match(core).hasMatch())
            return QStringLiteral("«%1»").arg(core);
        if (negativeZero.match(core).hasMatch())
            return QStringLiteral("negative zero «%1»").arg(core);
    }
    return {};
}

} // namespace quarbel::robust
