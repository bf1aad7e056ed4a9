#pragma once

#include <QFile>
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

// Rows of a reference file written by an R script under data/: one case a line, fields
// separated by tabs, the case's name first.
struct DataRow {
    std::string name;
    QStringList fields;
};

inline std::vector<DataRow> dataRows(const char *file) {
    std::vector<DataRow> rows;
    QFile f(QStringLiteral(QUARBEL_TEST_DATA "/") + QString::fromUtf8(file));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return rows;
    for (const QString &line : QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
        QStringList fields = line.split(u'\t');
        rows.push_back({fields.takeFirst().toStdString(), fields});
    }
    return rows;
}

inline void PrintTo(const DataRow &row, std::ostream *os) {
    *os << row.name;
}
