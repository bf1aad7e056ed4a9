// quarbel-replay: runs a user story against the real main window off screen.
// One command a line; see README.md for the commands and the output format.
#include "core/entry/column_list.h"
#include "ui/common/pending_work.h"
#include "ui/common/plot_view.h"
#include "ui/common/seams.h"
#include "ui/report/report_actions.h"
#include "ui/shell/main_window.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QTextDocument>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
#include <deque>
#include <optional>

using namespace quarbel;

namespace {

void out(const QString &line) {
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Answers dialogs with the path the script gave, and prints what would reach the person.
class ScriptSeams : public Seams {
  public:
    std::optional<QString> nextPath;
    bool ended{false};

    QString saveFileName(QWidget *, const QString &, const QString &, const QString &,
                         QString *) override {
        return take();
    }
    QString openFileName(QWidget *, const QString &, const QString &, const QString &) override {
        return take();
    }
    bool confirmOverwrite(QWidget *, const QString &) override { return true; }
    void message(QWidget *, const QString &title, const QString &text) override {
        out(QStringLiteral("message [%1] %2").arg(title, text));
    }
    // A page shipped beside the program prints relative to it, the same in every build tree.
    void openUrl(const QUrl &url) override {
        QString target = url.toString();
        const QString programDir = QCoreApplication::applicationDirPath() + u'/';
        if (url.isLocalFile() && url.toLocalFile().startsWith(programDir))
            target = QStringLiteral("file://<app>/") + url.toLocalFile().mid(programDir.size());
        out(QStringLiteral("launch ") + target);
    }
    bool startProgram(const QString &program, const QStringList &arguments) override {
        out(QStringLiteral("launch ") + (QStringList(program) << arguments).join(u' '));
        return true;
    }
    void setBusy(bool) override {}
    bool printDocument(QWidget *, QTextDocument &document) override {
        out(QStringLiteral("printed ") + document.toPlainText().section(u'\n', 0, 0));
        return true;
    }
    void endProgram() override {
        out(QStringLiteral("quit"));
        ended = true;
    }

  private:
    QString take() {
        QString path = nextPath.value_or(QString());
        nextPath.reset();
        return path;
    }
};

struct ScriptError {
    QString what;
};

class Driver {
  public:
    Driver(MainWindow &window, ScriptSeams &seams) : m_window(window), m_seams(seams) {}

    int failures{0};

    void run(const QString &line, int number) {
        m_line = number;
        if (line.isEmpty() || line.startsWith(u'#') || line.trimmed().isEmpty())
            return;
        const qsizetype space = line.indexOf(u' ');
        const QString command = line.left(space < 0 ? line.size() : space);
        const QString rest = space < 0 ? QString() : line.mid(space + 1);
        const qsizetype space2 = rest.indexOf(u' ');
        const QString name = rest.left(space2 < 0 ? rest.size() : space2);
        const std::optional<QString> text =
            space2 < 0 ? std::nullopt : std::optional<QString>(rest.mid(space2 + 1));

        if (command == u"click")
            click(find(name));
        else if (command == u"press")
            mouse(find(name), QEvent::MouseButtonPress, false);
        else if (command == u"release")
            mouse(find(name), QEvent::MouseButtonRelease,
                  text.value_or(QString()) == QLatin1String("outside"));
        else if (command == u"type")
            type(find(name), text.value_or(QString()));
        else if (command == u"set")
            set(find(name), text.value_or(QString()));
        else if (command == u"key")
            key(find(name), text.value_or(QString()));
        else if (command == u"scroll")
            scroll(find(name), text.value_or(QString()));
        else if (const QString trigger = fileTrigger(command); !trigger.isEmpty())
            fileCommand(trigger, rest);
        else if (command == u"plot.save")
            savePicture(QStringLiteral("Plot%1").arg(m_window.methodIndex()), rest);
        else if (command == u"gen.plot.save")
            savePicture(QStringLiteral("gen.Plot"), rest);
        else if (command == u"filetype")
            out(rest + QStringLiteral(": ") + fileType(rest));
        else if (command == u"report.copy")
            click(find(QStringLiteral("复制报告")));
        else if (command == u"print")
            print(rest);
        else if (command == u"state")
            state(name);
        else if (command == u"expect")
            expect(name, text.value_or(QString()));
        else
            throw ScriptError{QStringLiteral("unknown command «%1»").arg(command)};
        QCoreApplication::processEvents();
    }

  private:
    // Finds a control by its name; "gen." and "ver." name the generator and version windows.
    QObject *find(const QString &name) {
        if (name.isEmpty())
            throw ScriptError{QStringLiteral("missing name")};
        QString prefix, bare = name;
        if (const qsizetype dot = name.indexOf(u'.'); dot > 0) {
            prefix = name.left(dot);
            bare = name.mid(dot + 1);
        }
        for (QWidget *top : QApplication::topLevelWidgets()) {
            const QString topPrefix = top->property("replayPrefix").toString();
            if (topPrefix != prefix && !(prefix.isEmpty() && top == &m_window))
                continue;
            if (prefix.isEmpty() && top != &m_window)
                continue;
            if (top->objectName() == bare)
                return top;
            if (QObject *o = top->findChild<QObject *>(bare))
                return o;
        }
        throw ScriptError{QStringLiteral("unknown name «%1»").arg(name)};
    }

    static QWidget *widget(QObject *o) { return qobject_cast<QWidget *>(o); }

    void click(QObject *o) {
        if (auto *action = qobject_cast<QAction *>(o))
            action->trigger();
        else if (auto *button = qobject_cast<QAbstractButton *>(o))
            button->click();
        else if (QWidget *w = widget(o))
            mouseClick(w);
        else
            throw ScriptError{QStringLiteral("cannot click «%1»").arg(o->objectName())};
    }

    static void mouseClick(QWidget *w) {
        const QPointF local(w->width() / 2.0, w->height() / 2.0);
        const QPointF global = w->mapToGlobal(local);
        QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(w, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(w, &release);
    }

    // A press or release on NAME; "outside" puts the release beyond the control's bottom right
    // corner, where the toolkit still delivers it to the control that took the press.
    void mouse(QObject *o, QEvent::Type type, bool outside) {
        QWidget *w = widget(o);
        if (!w)
            throw ScriptError{QStringLiteral("cannot press «%1»").arg(o->objectName())};
        const QPointF local = outside ? QPointF(w->width() + 40.0, w->height() + 40.0)
                                      : QPointF(w->width() / 2.0, w->height() / 2.0);
        const bool press = type == QEvent::MouseButtonPress;
        QMouseEvent event(type, local, w->mapToGlobal(local), Qt::LeftButton,
                          press ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &event);
    }

    void type(QObject *o, const QString &text) {
        QWidget *w = widget(o);
        if (!w)
            throw ScriptError{QStringLiteral("cannot type into «%1»").arg(o->objectName())};
        w->setFocus();
        if (auto *edit = qobject_cast<QLineEdit *>(w))
            edit->setCursorPosition(int(edit->text().size()));
        for (qsizetype i = 0; i < text.size(); ++i) {
            qsizetype len = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            const QString ch = text.mid(i, len);
            i += len - 1;
            const char16_t c = ch[0].unicode();
            int code = Qt::Key_unknown;
            if (c >= u'0' && c <= u'9')
                code = Qt::Key_0 + (c - u'0');
            else if (c >= u'a' && c <= u'z')
                code = Qt::Key_A + (c - u'a');
            else if (c >= u'A' && c <= u'Z')
                code = Qt::Key_A + (c - u'A');
            else if (c < 128)
                code = c;
            QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, ch);
            QCoreApplication::sendEvent(w, &press);
            QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, ch);
            QCoreApplication::sendEvent(w, &release);
        }
    }

    void set(QObject *o, const QString &text) {
        if (auto *edit = qobject_cast<QLineEdit *>(o)) {
            edit->selectAll();
            edit->insert(text);
            if (text.isEmpty() && !edit->text().isEmpty())
                edit->clear();
        } else if (auto *combo = qobject_cast<QComboBox *>(o)) {
            combo->setCurrentText(text);
        } else if (auto *tabs = qobject_cast<QTabWidget *>(o)) {
            // A tab by its title, as a person picks it.
            for (int i = 0; i < tabs->count(); ++i)
                if (tabs->tabText(i) == text)
                    tabs->setCurrentIndex(i);
        } else {
            throw ScriptError{QStringLiteral("cannot set «%1»").arg(o->objectName())};
        }
    }

    void key(QObject *o, const QString &name) {
        QWidget *w = widget(o);
        int code = 0;
        if (name == u"Enter")
            code = Qt::Key_Return;
        else if (name == u"Down")
            code = Qt::Key_Down;
        else if (name == u"Up")
            code = Qt::Key_Up;
        if (!w || !code)
            throw ScriptError{QStringLiteral("bad key «%1»").arg(name)};
        w->setFocus();
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier);
        // The focus may have moved; the release goes where the focus now is, as for a person.
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : w;
        QCoreApplication::sendEvent(target, &release);
    }

    void scroll(QObject *o, const QString &value) {
        auto *bar = qobject_cast<QScrollBar *>(o);
        bool ok = false;
        const int v = value.toInt(&ok);
        if (!bar || !ok)
            throw ScriptError{QStringLiteral("cannot scroll «%1»").arg(o->objectName())};
        bar->setValue(v);
    }

    void fileCommand(const QString &trigger, const QString &path) {
        if (path.isEmpty())
            m_seams.nextPath.reset();
        else
            m_seams.nextPath = path;
        click(find(trigger));
        m_seams.nextPath.reset();
    }

    // A picture redraws a moment after its last change; what is printed or saved is its
    // final state. A hidden picture is drawn when it is shown, as for the user, so printing
    // draws only the pictures on screen and the one printed: an import or a key pays for no
    // other method's picture here either.
    static void flushPictures(QObject *printed) {
        PendingWork::flushAll();
        for (QWidget *top : QApplication::topLevelWidgets())
            for (PlotView *picture : top->findChildren<PlotView *>())
                if (picture == printed || picture->isVisible())
                    picture->flush();
    }

    void savePicture(const QString &name, const QString &path) {
        auto *picture = qobject_cast<PlotView *>(find(name));
        if (!picture)
            throw ScriptError{QStringLiteral("«%1» is not a picture").arg(name)};
        if (path.isEmpty())
            m_seams.nextPath.reset();
        else
            m_seams.nextPath = path;
        picture->saveWithDialog();
        m_seams.nextPath.reset();
    }

    // What a saved file holds, by its first bytes: png, svg, pdf, empty or missing.
    static QString fileType(const QString &path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return QStringLiteral("missing");
        const QByteArray head = file.read(512);
        if (head.isEmpty())
            return QStringLiteral("empty");
        if (head.startsWith("\x89PNG\r\n\x1a\n"))
            return QStringLiteral("png");
        if (head.startsWith("%PDF-"))
            return QStringLiteral("pdf");
        if (head.contains("<svg"))
            return QStringLiteral("svg");
        return QStringLiteral("other");
    }

    // The entry a file command presses, its dialog answered with the command's path.
    static QString fileTrigger(const QString &command) {
        static const QHash<QString, QString> triggers{
            {QStringLiteral("import"), QStringLiteral("导入")},
            {QStringLiteral("export"), QStringLiteral("导出")},
            {QStringLiteral("gen.save"), QStringLiteral("gen.Command4")},
            {QStringLiteral("report.save"), QStringLiteral("保存报告")},
        };
        return triggers.value(command);
    }

    void print(const QString &names) {
        for (const QString &n : names.split(u' ', Qt::SkipEmptyParts)) {
            QObject *o = n == u"clipboard" ? nullptr : find(n);
            flushPictures(o);
            out(n + u'=' + (o ? valueOf(o) : clipboardText()));
        }
    }

    // The clipboard's text on one line, its line breaks shown as " ⏎ ".
    static QString clipboardText() {
        QString text = QApplication::clipboard()->text();
        return text.replace(u'\n', QStringLiteral(" ⏎ "));
    }

    static QString valueOf(QObject *o) {
        if (auto *picture = qobject_cast<PlotView *>(o))
            return picture->describe();
        if (auto *list = qobject_cast<ColumnList *>(o))
            return list->describe();
        if (const QVariant v = o->property("replayValue"); v.isValid())
            return v.toString();
        if (auto *edit = qobject_cast<QLineEdit *>(o))
            return edit->text();
        if (auto *label = qobject_cast<QLabel *>(o))
            return label->text();
        if (auto *combo = qobject_cast<QComboBox *>(o))
            return combo->currentText();
        if (auto *bar = qobject_cast<QScrollBar *>(o))
            return QStringLiteral("%1/%2").arg(bar->value()).arg(bar->maximum());
        if (auto *text = qobject_cast<QPlainTextEdit *>(o))
            return text->toPlainText();
        if (auto *table = qobject_cast<QTableView *>(o))
            return tableText(table->model());
        if (auto *view = qobject_cast<QListView *>(o)) {
            QStringList items;
            const QAbstractItemModel *model = view->model();
            const int rows = model ? model->rowCount() : 0;
            for (int r = 0; r < rows; ++r)
                items << model->index(r, 0).data().toString();
            return QStringLiteral("[%1] ").arg(rows) + items.join(u'|');
        }
        if (auto *button = qobject_cast<QAbstractButton *>(o))
            return button->text();
        if (auto *action = qobject_cast<QAction *>(o))
            return action->text();
        if (auto *menu = qobject_cast<QMenu *>(o))
            return menu->title();
        if (auto *w = qobject_cast<QWidget *>(o))
            return w->windowTitle();
        return {};
    }

    // "[ROWS×COLS] r0c0,r0c1,…|r1c0,…": the cells' texts, header rows not included.
    static QString tableText(const QAbstractItemModel *model) {
        const int rows = model ? model->rowCount() : 0;
        const int columns = model ? model->columnCount() : 0;
        QStringList lines;
        for (int r = 0; r < rows; ++r) {
            QStringList cells;
            for (int c = 0; c < columns; ++c)
                cells << model->index(r, c).data().toString();
            lines << cells.join(u',');
        }
        return QStringLiteral("[%1×%2] ").arg(rows).arg(columns) + lines.join(u'|');
    }

    void state(const QString &name) {
        QObject *o = find(name);
        bool enabled = false, visible = false, bold = false;
        if (auto *action = qobject_cast<QAction *>(o)) {
            enabled = action->isEnabled();
            visible = action->isVisible();
            bold = action->font().bold();
        } else if (QWidget *w = widget(o)) {
            enabled = w->isEnabled();
            visible = w->isVisible();
            bold = w->font().bold();
        }
        out(QStringLiteral("%1: enabled=%2 visible=%3 bold=%4")
                .arg(name)
                .arg(int(enabled))
                .arg(int(visible))
                .arg(int(bold)));
    }

    void expect(const QString &name, const QString &expected) {
        QObject *o = find(name);
        flushPictures(o);
        const QString actual = valueOf(o);
        if (actual != expected) {
            ++failures;
            out(QStringLiteral("FAIL line %1 %2: expected «%3» got «%4»")
                    .arg(m_line)
                    .arg(name, expected, actual));
        }
    }

    MainWindow &m_window;
    ScriptSeams &m_seams;
    int m_line{0};
};

} // namespace

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quarbel"));

    QFile file;
    if (argc > 1) {
        file.setFileName(QString::fromLocal8Bit(argv[1]));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            std::fprintf(stderr, "quarbel-replay: cannot open %s\n", argv[1]);
            return 2;
        }
    } else if (!file.open(stdin, QIODevice::ReadOnly | QIODevice::Text)) {
        return 2;
    }

    ScriptSeams seams;
    Seams::install(&seams);
    int status = 0;
    {
        MainWindow window;
        // Reports carry the time they were made; a story's output must not depend on it.
        if (auto *reports = window.findChild<ReportActions *>())
            reports->setClock([] { return QDateTime(QDate(2026, 1, 5), QTime(9, 0)); });
        window.show();
        QCoreApplication::processEvents();
        Driver driver(window, seams);
        QTextStream in(&file);
        in.setEncoding(QStringConverter::Utf8);
        int number = 0;
        while (!in.atEnd()) {
            QString line = in.readLine();
            ++number;
            if (line.endsWith(u'\r'))
                line.chop(1);
            if (seams.ended)
                break;
            try {
                driver.run(line, number);
            } catch (const ScriptError &e) {
                std::fprintf(stderr, "quarbel-replay: line %d: %s\n", number,
                             e.what.toUtf8().constData());
                status = 2;
                break;
            }
        }
        if (status == 0 && driver.failures > 0)
            status = 1;
    }
    Seams::install(nullptr);
    return status;
}
