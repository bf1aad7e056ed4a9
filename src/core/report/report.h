#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace quarbel {

// A table as a three-line table shows it: one header row, then the body rows.
struct ReportTable {
    QStringList header;
    QList<QStringList> rows;
    bool isEmpty() const { return rows.isEmpty(); }
    friend bool operator==(const ReportTable &, const ReportTable &) = default;
};

// What a method added after the eight hands the report: its tables and sentences, made from
// its result rather than read back from the window. No result rows: nothing to report.
struct ReportContent {
    ReportTable inputs;
    ReportTable results;
    QString chinese;
    QString english;
    QStringList notes;
    friend bool operator==(const ReportContent &, const ReportContent &) = default;
};

// What a report is made from: the active method and every text its panel shows at that moment,
// keyed by object name (the panel's fields, the detail values and the note). A text that is
// empty or missing is left out of the report, never guessed.
struct ReportTexts {
    int method{0};
    QHash<QString, QString> fields;
    QString version;
    QDateTime made;
    // The grid holds values the generator made: the report says so and claims no observation.
    bool simulated{false};
    // An added method's own content; the eight are read from `fields`.
    std::optional<ReportContent> content;
};

struct Report {
    QString title; // the method's caption
    QString stamp; // "2026-12-08 09:30　Quarbel 15.0"
    // One line instead of everything below when there is no result to report.
    QString emptyLine;
    ReportTable inputs;
    ReportTable results;
    QString chinese;
    QString english;
    QStringList notes; // the note of the details, a warning of the panel, the simulated data
    friend bool operator==(const Report &, const Report &) = default;
};

Report buildReport(const ReportTexts &texts);

// The report as text: tables tab-separated, one row a line.
QString reportPlainText(const Report &report);

// The report as an HTML page. The tables keep their three rules when pasted into a word
// processor: every ruled cell carries its own border CSS, and the table the older frame and
// rules attributes. `imageSource`, when not empty, is the picture's src. `forQt` leaves out
// what the Qt rich-text importer would turn into a full grid (the border attribute).
QString reportHtml(const Report &report, const QString &imageSource = {}, bool forQt = false);

// The report as an OpenDocument text (.odt): paragraphs, three-line tables with the rules on
// the cells, and the picture (PNG bytes, may be empty) at its size in pixels at 96 dpi.
// Empty bytes when the archive could not be built.
QByteArray reportOdt(const Report &report, const QByteArray &png = {}, int pngWidth = 0,
                     int pngHeight = 0);

} // namespace quarbel
