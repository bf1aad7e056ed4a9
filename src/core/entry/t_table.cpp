#include "core/entry/t_table.h"

#include "core/entry/number_rules.h"

#include <QStringList>

#include <array>
#include <limits>

namespace quarbel {
namespace {

struct Row {
    const char *df;
    const char *p05;
    const char *p01;
    const char *p001;
};

constexpr std::array<Row, 50> rows{{
    {"1", "12.70", "63.65", "636.6"},    {"2", "4.303", "9.925", "31.59"},
    {"3", "3.182", "5.841", "12.92"},    {"4", "2.776", "4.604", "8.610"},
    {"5", "2.571", "4.032", "6.869"},    {"6", "2.447", "3.707", "5.959"},
    {"7", "2.365", "3.499", "5.408"},    {"8", "2.306", "3.355", "5.041"},
    {"9", "2.262", "3.250", "4.781"},    {"10", "2.228", "3.169", "4.587"},
    {"11", "2.201", "3.106", "4.437"},   {"12", "2.179", "3.055", "4.318"},
    {"13", "2.160", "3.012", "4.221"},   {"14", "2.145", "2.977", "4.140"},
    {"15", "2.131", "2.947", "4.073"},   {"16", "2.120", "2.921", "4.015"},
    {"17", "2.110", "2.898", "3.965"},   {"18", "2.101", "2.878", "3.922"},
    {"19", "2.093", "2.861", "3.883"},   {"20", "2.086", "2.845", "3.850"},
    {"21", "2.080", "2.831", "3.819"},   {"22", "2.074", "2.819", "3.792"},
    {"23", "2.069", "2.807", "3.768"},   {"24", "2.064", "2.797", "3.745"},
    {"25", "2.060", "2.787", "3.725"},   {"26", "2.056", "2.779", "3.707"},
    {"27", "2.052", "2.771", "3.690"},   {"28", "2.048", "2.763", "3.674"},
    {"29", "2.045", "2.756", "3.659"},   {"30", "2.042", "2.750", "3.646"},
    {"31", "2.040", "2.744", "3.633"},   {"32", "2.037", "2.738", "3.622"},
    {"33", "2.035", "2.733", "3.611"},   {"34", "2.032", "2.728", "3.601"},
    {"35", "2.030", "2.724", "3.591"},   {"36", "2.028", "2.719", "3.582"},
    {"37", "2.026", "2.715", "3.574"},   {"38", "2.024", "2.712", "3.566"},
    {"39", "2.023", "2.708", "3.558"},   {"40", "2.021", "2.704", "3.551"},
    {"50", "2.009", "2.678", "3.496"},   {"60", "2.000", "2.660", "3.460"},
    {"70", "1.994", "2.648", "3.436"},   {"80", "1.990", "2.639", "3.416"},
    {"90", "1.987", "2.632", "3.402"},   {"100", "1.984", "2.626", "3.390"},
    {"200", "1.972", "2.601", "3.340"},  {"500", "1.965", "2.586", "3.310"},
    {"1000", "1.962", "2.581", "3.300"}, {"∝", "1.960", "2.575", "3.291"},
}};

constexpr int FirstDataLine = 4;
constexpr int ThousandLine = 52;
constexpr int InfinityLine = 53;

const QStringList &lines() {
    static const QStringList table = [] {
        const QString rule = QString(15, QChar(0x2014));
        QStringList t;
        t << QString(10, u' ') + QStringLiteral("t界值表") << rule
          << QStringLiteral("双侧   0.05     0.01     0.001") << rule;
        for (const Row &row : rows) {
            // The infinity sign takes the place of a padded df one character shorter.
            const QString df = QString::fromUtf8(row.df);
            const int width = df == u"∝" ? 6 : 7;
            t << df.leftJustified(width) + QLatin1String(row.p05) + QLatin1String("    ") +
                     QLatin1String(row.p01) + QLatin1String("    ") + QLatin1String(row.p001);
        }
        t << rule << QString();
        return t;
    }();
    return table;
}

// Five characters from 1-based position `pos`, spaces trimmed.
QString cut(const QString &line, int pos) {
    return line.mid(pos - 1, 5).trimmed();
}

CriticalT cutRow(int line, int first) {
    const QString text = tTableLine(line);
    return {cut(text, first), cut(text, first + 9), cut(text, first + 18)};
}

} // namespace

QString tTableLine(int line) {
    return line >= 0 && line < lines().size() ? lines()[line] : QString();
}

QString tTableText() {
    return lines().mid(0, TTableLineCount - 1).join(QLatin1String("\r\n")) + QLatin1String("\r\n");
}

CriticalT lookupCriticalT(double df) {
    CriticalT critical;
    for (int line = FirstDataLine; line <= InfinityLine; ++line) {
        if (leadingNumber(QStringView(tTableLine(line)).left(7)) > df) {
            critical = cutRow(line - 1, 8);
            break;
        }
    }
    if (df == 1000)
        critical = cutRow(ThousandLine, 8);
    if (df > 1000)
        critical = cutRow(InfinityLine, 7);
    return critical;
}

double tableRowDf(double df) {
    if (df > 1000)
        return std::numeric_limits<double>::infinity();
    double row = 0;
    for (std::size_t i = 0; i + 1 < rows.size(); ++i) {
        const double rowDf = leadingNumber(QString::fromLatin1(rows[i].df));
        if (rowDf > df)
            break;
        row = rowDf;
    }
    return row;
}

QString judgeT(double t, const CriticalT &critical) {
    const double c05 = readDisplayed(critical.p05);
    const double c01 = readDisplayed(critical.p01);
    const double c001 = readDisplayed(critical.p001);
    if (t >= c05 && t < c01)
        return labels::P05;
    if (t >= c01 && t < c001)
        return labels::P01;
    if (t >= c001)
        return labels::P001;
    return labels::NotSignificant;
}

} // namespace quarbel
