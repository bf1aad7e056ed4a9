// Import into the analysis of variance (results computed) and export of the same lists, for
// both workbook formats, through the main window's own menu entries; the whole import a user
// waits for, from the dialog's answer to the shown panel and picture, beside readxl; and the
// memory the program holds after importing a million rows.
#include "bench_support.h"

#include "core/entry/column_list.h"
#include "core/exchange/workbook.h"
#include "core/shell/methods.h"
#include "ui/common/pending_work.h"
#include "ui/common/plot_view.h"
#include "ui/common/seams.h"
#include "ui/shell/main_window.h"
#include "ui/shell/method_pictures.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>

namespace quarbel::bench {
namespace {

// Answers the file dialogs with a fixed path and swallows the messages.
class FileSeams : public Seams {
  public:
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &,
                         QString *) override {
        return path;
    }
    QString openFileName(QWidget *, const QString &, const QString &, const QString &) override {
        return path;
    }
    bool confirmOverwrite(QWidget *, const QString &) override { return true; }
    void message(QWidget *, const QString &, const QString &text) override { last = text; }
    void setBusy(bool) override {}

    QString path;
    QString last;
};

const QStringList anovaLists{"List3", "List4", "List5"};

// .xls holds at most 65,536 rows, so its cases use a full sheet.
qsizetype rowsFor(WorkbookFormat format, qsizetype wanted) {
    return format == WorkbookFormat::Xls ? std::min(wanted, XlsMaxRows) : wanted;
}

struct Files {
    QTemporaryDir dir;
    QString path(WorkbookFormat format, qsizetype rows, int columns = 3) const {
        return dir.filePath(QStringLiteral("%1x%2.%3")
                                .arg(rows)
                                .arg(columns)
                                .arg(format == WorkbookFormat::Xls ? QStringLiteral("xls")
                                                                   : QStringLiteral("xlsx")));
    }
    // Writes the file once per size.
    QString ensure(WorkbookFormat format, qsizetype rows, int count = 3) const {
        const QString p = path(format, rows, count);
        if (!QFile::exists(p)) {
            QList<QStringList> columns;
            std::uint32_t seed = 5;
            for (int c = 0; c < count; ++c)
                columns.append(sampleTexts(rows, seed++));
            writeWorkbook(p, columns, format);
        }
        return p;
    }
};

Files &files() {
    static Files f;
    return f;
}

struct Session {
    Session() {
        Seams::install(&seams);
        window = std::make_unique<MainWindow>();
        window->selectMethod(Anova);
    }
    ~Session() {
        window.reset();
        Seams::install(nullptr);
    }
    void trigger(const char *name) {
        window->findChild<QAction *>(QString::fromUtf8(name))->trigger();
    }

    FileSeams seams;
    std::unique_ptr<MainWindow> window;
};

void importCase(benchmark::State &state, WorkbookFormat format) {
    const qsizetype rows = rowsFor(format, state.range(0));
    const QString path = files().ensure(format, rows);
    resetPeakMemory();
    Session s;
    s.seams.path = path;
    for (auto _ : state)
        s.trigger("导入");
    if (s.window->findChild<ColumnList *>(anovaLists[0])->count() < rows)
        state.SkipWithError(qPrintable(QStringLiteral("import failed: ") + s.seams.last));
    state.counters["rows"] = double(rows);
    reportPeakMemory(state);
}

// The reader alone: the file's bytes to the leading columns, entries parsed.
void readCase(benchmark::State &state) {
    const QString path = files().ensure(WorkbookFormat::Xlsx, state.range(0));
    resetPeakMemory();
    SheetColumns sheet;
    for (auto _ : state)
        sheet = readWorkbook(path, 3);
    if (!sheet.error.isEmpty() || sheet.usedRows < state.range(0))
        state.SkipWithError(qPrintable(QStringLiteral("read failed: ") + sheet.error));
    state.counters["rows"] = double(state.range(0));
    reportPeakMemory(state);
}

void exportCase(benchmark::State &state, WorkbookFormat format) {
    const qsizetype rows = rowsFor(format, state.range(0));
    resetPeakMemory();
    Session s;
    std::uint32_t seed = 5;
    for (const QString &name : anovaLists)
        s.window->findChild<ColumnList *>(name)->replaceAll(sampleTexts(rows, seed++));
    s.seams.path = files().path(format, -rows); // its own file, rewritten each time
    for (auto _ : state)
        s.trigger("导出");
    if (s.seams.last != QStringLiteral("文件导出成功！"))
        state.SkipWithError(qPrintable(QStringLiteral("export failed: ") + s.seams.last));
    state.counters["rows"] = double(rows);
    reportPeakMemory(state);
}

// readxl (R's reader, C++ over RapidXML) reading the same file as the import, in the same run:
// the median of five warm reads beside the median of five imports, and their ratio (how many
// times faster the import is). Skipped where Rscript or the readxl package is missing.
void importVersusReadxl(benchmark::State &state) {
    const QString path = files().ensure(WorkbookFormat::Xlsx, state.range(0));
    const QString script = QStringLiteral(
        "suppressMessages(library(readxl)); p <- commandArgs(TRUE)[1];"
        "invisible(read_excel(p, col_names = FALSE));"
        "t <- replicate(5, system.time(read_excel(p, col_names = FALSE))[['elapsed']]);"
        "cat(median(t))");
    const std::optional<double> measured = rSeconds(script, path);
    const double readxl = measured.value_or(0);
    if (!measured) {
        state.SkipWithError("Rscript with the readxl package is not installed");
        for (auto _ : state)
            state.SetIterationTime(0);
        return;
    }
    resetPeakMemory();
    Session s;
    s.seams.path = path;
    double ours = 0;
    for (auto _ : state) {
        ours = medianSeconds(5, [&s] { s.trigger("导入"); });
        state.SetIterationTime(ours);
    }
    state.counters["readxl_ms"] = readxl * 1e3;
    state.counters["x_faster"] = readxl / ours;
    reportPeakMemory(state);
}

struct PanelImport {
    Method method;
    int columns;
    const char *result; // a result label the method writes once its inputs are complete
};

const PanelImport anovaImport{Anova, 3, "AnovaTukeyP12"};
const PanelImport twoSampleImport{TwoSampleT, 2, "Label5_6"};

// The import as the user waits for it, the replay driver's `import` then `print`: the dialog's
// answer, reading, loading the lists, the shown method's results and picture, and the events
// pending after them. Beside it, in the same run, readxl's best of five reads of the same file
// and our reader alone, so both ratios hold however busy the machine is. `first_ms` is the
// import into an empty window; the timed ones import over the data the previous one loaded.
void importToPanel(benchmark::State &state, const PanelImport &m) {
    const qsizetype rows = state.range(0);
    const QString path = files().ensure(WorkbookFormat::Xlsx, rows, m.columns);
    const QString script = QStringLiteral(
        "suppressMessages(library(readxl)); p <- commandArgs(TRUE)[1];"
        "invisible(read_excel(p, col_names = FALSE));"
        "t <- replicate(5, system.time(read_excel(p, col_names = FALSE))[['elapsed']]);"
        "cat(min(t))");
    const std::optional<double> readxl = rSeconds(script, path);
    if (!readxl) {
        state.SkipWithError("Rscript with the readxl package is not installed");
        for (auto _ : state)
            state.SetIterationTime(0);
        return;
    }
    const double reader =
        medianSeconds(3, [&] { benchmark::DoNotOptimize(readWorkbook(path, m.columns)); });

    resetPeakMemory();
    Session s;
    s.window->selectMethod(m.method);
    s.window->show();
    QApplication::processEvents();
    s.seams.path = path;
    PlotView *picture = s.window->pictures()->picture(m.method);
    auto *result = s.window->findChild<QLabel *>(QString::fromUtf8(m.result));
    const int redrawsBefore = picture->redrawCount();
    auto import = [&] {
        s.trigger("导入");
        QApplication::processEvents();
        PendingWork::flushAll();
        picture->flush();
        QApplication::processEvents();
    };
    const double first = medianSeconds(1, import);
    double ours = 0;
    for (auto _ : state) {
        ours = medianSeconds(5, import);
        state.SetIterationTime(ours);
    }
    if (s.window->findChild<ColumnList *>(QStringLiteral("List%1").arg(m.method == Anova ? 3 : 1))
                ->count() < rows ||
        !result || result->text().isEmpty() || picture->redrawCount() == redrawsBefore)
        state.SkipWithError(qPrintable(QStringLiteral("import failed: ") + s.seams.last));
    state.counters["rows"] = double(rows);
    state.counters["first_ms"] = first * 1e3;
    state.counters["reader_ms"] = reader * 1e3;
    state.counters["readxl_ms"] = *readxl * 1e3;
    state.counters["x_faster"] = *readxl / ours;
    state.counters["reader_x"] = *readxl / reader;
    reportPeakMemory(state);
}

// The memory the program holds once a million rows of three groups are imported.
void importedMemory(benchmark::State &state) {
    const QString path = files().ensure(WorkbookFormat::Xlsx, state.range(0));
    double resident = 0;
    for (auto _ : state) {
        resetPeakMemory();
        Session s;
        s.seams.path = path;
        s.trigger("导入");
        resident = residentMemoryMB();
    }
    state.counters["resident_MB"] = resident;
    reportPeakMemory(state);
}

} // namespace

BENCHMARK_CAPTURE(importCase, xlsx, WorkbookFormat::Xlsx)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->Iterations(1);
BENCHMARK(readCase)->Arg(100000)->Unit(benchmark::kMillisecond)->Repetitions(3)->Iterations(1);
BENCHMARK_CAPTURE(importCase, xls, WorkbookFormat::Xls)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->Iterations(1);
BENCHMARK_CAPTURE(exportCase, xlsx, WorkbookFormat::Xlsx)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->Iterations(1);
BENCHMARK_CAPTURE(exportCase, xls, WorkbookFormat::Xls)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->Iterations(1);
BENCHMARK(importVersusReadxl)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);
BENCHMARK(importedMemory)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
// After the memory case, whose peak and resident size then start from a heap the million-row
// imports here have not yet fragmented.
BENCHMARK_CAPTURE(importToPanel, anova, anovaImport)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);
BENCHMARK_CAPTURE(importToPanel, twoSample, twoSampleImport)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);

} // namespace quarbel::bench
