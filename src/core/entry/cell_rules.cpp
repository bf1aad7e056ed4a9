#include "core/entry/cell_rules.h"

namespace quarbel {

QString replaceFullStops(const QString &text) {
    QString t = text;
    t.replace(QChar(0x3002), QLatin1Char('.'));
    return t;
}

QString filterTrailing(const QString &text) {
    qsizetype end = text.size();
    while (end > 0) {
        const char16_t c = text[end - 1].unicode();
        if ((c >= u'0' && c <= u'9') || c == u'-' || c == u'.')
            break;
        --end;
    }
    return text.left(end);
}

QString applyCellRules(const QString &text, CellRules rules) {
    QString t = rules.fullStops ? replaceFullStops(text) : text;
    return rules.trailingFilter ? filterTrailing(t) : t;
}

} // namespace quarbel
