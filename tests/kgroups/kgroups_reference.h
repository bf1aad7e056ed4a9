#pragma once

// The reference sets of data/kgroups.txt, written by data/kgroups_reference.R: the two columns
// as typed and R's texts, shared by the computation's table and the window's.

#include "support/test_support.h"

#include <QFile>
#include <QStringList>

#include <string>
#include <vector>

namespace quarbel::test {

// One set of data/kgroups.txt: the two columns as typed and R's texts ("-" for empty).
struct KGroupsCase {
    std::string name;
    QStringList value, group;
    std::vector<QStringList> groups; // code n mean sd median P25 P75 Shapiro-P
    QStringList tests;               // KGroupF … KGroupKruskalEps2
    std::vector<QStringList> pairs;
    QString choice;
};
QUARBEL_PRINT_ROW_NAME(KGroupsCase)

inline QString boxText(const QString &field) {
    return field == u"-" ? QString() : field;
}

inline std::vector<KGroupsCase> kGroupsCases() {
    std::vector<KGroupsCase> cases;
    QFile f(QStringLiteral(QUARBEL_TEST_DATA "/kgroups.txt"));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return cases;
    for (const QString &line : QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
        QStringList fields = line.split(u' ', Qt::SkipEmptyParts);
        const QString kind = fields.takeFirst();
        for (QString &t : fields)
            t = kind == u"V" || kind == u"G" ? (t == u"_" ? QString() : t) : boxText(t);
        if (kind == u"SET")
            cases.push_back({fields[0].toStdString(), {}, {}, {}, {}, {}, {}});
        else if (kind == u"V")
            cases.back().value = fields;
        else if (kind == u"G")
            cases.back().group = fields;
        else if (kind == u"GR")
            cases.back().groups.push_back(fields);
        else if (kind == u"T")
            cases.back().tests = fields;
        else if (kind == u"PR")
            cases.back().pairs.push_back(fields);
        else if (kind == u"C")
            cases.back().choice = fields[0];
    }
    return cases;
}

} // namespace quarbel::test
