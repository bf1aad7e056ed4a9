#pragma once

// The reference sets of data/survival_reference.txt, written by data/survival_reference.R: the
// three columns as typed, the box's time, and every text R's survival package gives for them.

#include "core/survival/survival.h"

#include <QStringList>

#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace quarbel::test {

// One set: its columns, t*, and what R shows for it.
struct SurvivalCase {
    std::string name;
    QString rateTime;
    std::vector<QString> time, outcome, group;
    std::int64_t leftOut{0};
    std::vector<SurvivalGroupTexts> groups;
    QStringList logRank;                                   // χ², df, P
    std::vector<std::pair<std::size_t, QStringList>> life; // row index, its texts
};

inline void PrintTo(const SurvivalCase &c, std::ostream *os) {
    *os << c.name;
}

inline QString field(const std::string &token) {
    return token == "_" ? QString() : QString::fromStdString(token);
}

inline std::vector<std::string> tokens(std::istringstream &in) {
    std::vector<std::string> out;
    for (std::string t; in >> t;)
        out.push_back(t);
    return out;
}

inline std::vector<SurvivalCase> referenceSets() {
    std::vector<SurvivalCase> sets;
    std::ifstream in(QUARBEL_TEST_DATA "/survival_reference.txt");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string kind;
        fields >> kind;
        const std::vector<std::string> t = tokens(fields);
        auto texts = [&t] {
            std::vector<QString> column;
            for (const std::string &s : t)
                column.push_back(field(s));
            return column;
        };
        if (kind == "set") {
            sets.push_back({t.at(0), field(t.at(1))});
            continue;
        }
        if (sets.empty() || kind == "#" || kind == "end")
            continue;
        SurvivalCase &c = sets.back();
        if (kind == "time") {
            c.time = texts();
        } else if (kind == "status") {
            c.outcome = texts();
        } else if (kind == "codes") {
            c.group = texts();
        } else if (kind == "leftout") {
            c.leftOut = std::stoll(t.at(0));
        } else if (kind == "group") {
            const std::vector<QString> f = texts();
            c.groups.push_back({f.at(0), f.at(1), f.at(2), f.at(3), f.at(4), f.at(5), f.at(6),
                                f.at(7), f.at(8), f.at(9), f.at(10), f.at(11), f.at(12), f.at(13),
                                f.at(14)});
        } else if (kind == "logrank") {
            for (const QString &s : texts())
                c.logRank << s;
        } else if (kind == "life") {
            QStringList row;
            for (std::size_t i = 1; i < t.size(); ++i)
                row << field(t[i]);
            c.life.emplace_back(std::stoul(t.at(0)), row);
        }
    }
    return sets;
}

} // namespace quarbel::test
