#include "ui/generator/generator_window.h"
#include "ui/common/panel_parts.h"

#include "core/generator/normal_generator.h"
#include "core/generator/uniform_source.h"
#include "core/generator/value_list_model.h"
#include "core/plots/generator_plot.h"
#include "ui/common/picture_drawing.h"
#include "ui/common/plot_view.h"
#include "ui/common/seams.h"
#include "ui/exchange/exchange_actions.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace quarbel {
namespace {

QPointer<GeneratorWindow> g_instance;

// The window is drawn in twips; 15 of them make a pixel on a standard screen.
QRect twips(int left, int top, int width, int height) {
    return {left / 15, top / 15, width / 15, height / 15};
}

constexpr int StripTwips = 3315;
constexpr int PictureTwips = 6300;
constexpr int TickTwips = 100;
constexpr int TickMs = 100;
// Work between two rounds of event processing: short enough that the window never seems stuck.
constexpr qint64 SliceMs = 15;
constexpr std::int64_t StepsPerCheck = 4096;

template <class W> W *named(W *w, const char *name) {
    w->setObjectName(QLatin1String(name));
    return w;
}

} // namespace

GeneratorWindow *GeneratorWindow::showInstance(QWidget *owner) {
    if (!g_instance) {
        g_instance = new GeneratorWindow(owner);
        centreOnScreen(g_instance);
    }
    g_instance->show();
    g_instance->raise();
    g_instance->activateWindow();
    return g_instance;
}

GeneratorWindow::GeneratorWindow(QWidget *owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("GeneratorWindow"));
    setProperty("replayPrefix", QStringLiteral("gen"));
    setWindowTitle(QStringLiteral("正态分布数据生成工具"));
    // The picture of the values stands to the right of the original window's controls.
    setFixedSize(twips(0, 0, 6285 + PictureTwips, 3945).size());

    auto *inputs = new QGroupBox(this);
    inputs->setGeometry(twips(120, 60, 3015, 2115));
    const std::array<const char *, 4> captions{"均数", "标准差", "例数", "小数点位数"};
    for (int i = 0; i < 4; ++i) {
        auto *caption = new QLabel(QString::fromUtf8(captions[std::size_t(i)]), inputs);
        caption->setGeometry(twips(120, 200 + i * 480, 1200, 330));
    }
    m_mean = named(new QLineEdit(inputs), "Text1");
    m_sd = named(new QLineEdit(inputs), "Text2");
    m_count = named(new QLineEdit(inputs), "Text3");
    m_decimals = named(new QComboBox(inputs), "Combo1");
    m_decimals->setEditable(true);
    for (int i = 0; i <= 6; ++i)
        m_decimals->addItem(QString::number(i));
    m_decimals->setCurrentText(QStringLiteral("2"));
    const std::array<QWidget *, 4> fields{m_mean, m_sd, m_count, m_decimals};
    for (int i = 0; i < 4; ++i)
        fields[std::size_t(i)]->setGeometry(twips(1380, 170 + i * 480, 1500, 360));

    auto *results = new QFrame(this);
    results->setGeometry(twips(120, 2220, 3015, 870));
    results->setAutoFillBackground(true);
    QPalette grey = results->palette();
    grey.setColor(QPalette::Window, QColor(0xE0, 0xE0, 0xE0));
    results->setPalette(grey);
    m_meanCaption =
        named(new QLabel(QStringLiteral("当前生成数据的均数："), results), "MeanCaption");
    m_meanValue = named(new QLabel(results), "MeanValue");
    m_sdCaption = named(new QLabel(QStringLiteral("标准差："), results), "SdCaption");
    m_sdValue = named(new QLabel(results), "SdValue");
    m_meanCaption->setGeometry(twips(60, 100, 1860, 300));
    m_meanValue->setGeometry(twips(1920, 100, 1050, 300));
    m_sdCaption->setGeometry(twips(1140, 480, 780, 300));
    m_sdValue->setGeometry(twips(1920, 480, 1050, 300));
    m_sdCaption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (QLabel *label : {m_meanCaption, m_meanValue, m_sdCaption, m_sdValue}) {
        QPalette blue = label->palette();
        blue.setColor(QPalette::WindowText, Qt::blue);
        label->setPalette(blue);
    }
    setResultsVisible(false);

    auto *strip = new QWidget(this);
    strip->setGeometry(twips(120, 3360, StripTwips, 255));
    m_progress = named(new QLabel(strip), "Label3");
    m_progress->setAutoFillBackground(true);
    QPalette bar = m_progress->palette();
    bar.setColor(QPalette::Window, Qt::blue);
    m_progress->setPalette(bar);
    m_progress->setGeometry(0, 0, 1, strip->height());
    m_progress->hide();
    m_ticker = new QTimer(this);
    m_ticker->setInterval(TickMs);
    connect(m_ticker, &QTimer::timeout, this, &GeneratorWindow::tick);

    m_values = new ValueListModel(this);
    m_list = named(new QListView(this), "List2");
    m_list->setGeometry(twips(3240, 150, 2955, 2940));
    m_list->setUniformItemSizes(true);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setModel(m_values);

    m_generate = named(new QPushButton(QStringLiteral("生成数据"), this), "Command3");
    m_generate->setGeometry(twips(3720, 3360, 1215, 375));
    m_save = named(new QPushButton(QStringLiteral("保   存"), this), "Command4");
    m_save->setGeometry(twips(4980, 3360, 1215, 375));
    m_pathLabel = named(new QLabel(this), "PathLabel");
    m_pathLabel->hide();
    m_picture = new PlotView(QStringLiteral("Plot"), this);
    m_picture->setMinimumSize(twips(0, 0, PictureTwips - 120, 3585).size());
    m_picture->setGeometry(twips(6285, 150, PictureTwips - 120, 3585));
    m_picture->setDrawer([this](PlotView &view) {
        drawGenerator(view, generatorPicture(m_values->units(), m_values->decimals(), m_targetMean,
                                             m_targetSd));
    });
    // Emptied at the start of a generation, filled at its end: never the previous sample.
    connect(m_values, &QAbstractItemModel::modelReset, m_picture, &PlotView::schedule);
    // The values are drawn, not observed; the window says so under the progress strip.
    auto *simulated =
        named(new QLabel(QStringLiteral("模拟数据，仅供教学与方法演示"), this), "SimulatedNote");
    simulated->setGeometry(twips(120, 3630, 3500, 300));
    QPalette muted = simulated->palette();
    muted.setColor(QPalette::WindowText, QColor(0x60, 0x60, 0x60));
    simulated->setPalette(muted);
    connect(m_generate, &QPushButton::clicked, this, &GeneratorWindow::generate);
    connect(m_save, &QPushButton::clicked, this, &GeneratorWindow::save);
}

GeneratorWindow::~GeneratorWindow() = default;

void GeneratorWindow::setResultsVisible(bool visible) {
    for (QLabel *label : {m_meanCaption, m_meanValue, m_sdCaption, m_sdValue})
        label->setVisible(visible);
}

void GeneratorWindow::generate() {
    if (m_generating)
        return;
    const GeneratorPlan plan =
        planGeneration({m_mean->text(), m_sd->text(), m_count->text(), m_decimals->currentText()});
    if (!plan.message.isEmpty()) {
        Seams::instance().message(this, QApplication::applicationName(), plan.message);
        return;
    }

    setResultsVisible(false);
    m_values->clear();
    m_progressWidth = 1;
    m_progress->resize(1, m_progress->height());
    m_progress->show();
    m_ticker->start();
    setGenerating(true);

    NormalGenerator generator(plan, UniformSource::shared());
    m_sdValue->setText(generator.result().sdValue);
    m_meanValue->setText(generator.result().meanValue);
    QElapsedTimer slice;
    slice.start();
    while (!generator.advance(StepsPerCheck)) {
        if (slice.elapsed() < SliceMs)
            continue;
        QCoreApplication::processEvents();
        slice.restart();
        if (m_stop)
            break;
    }

    m_ticker->stop();
    m_progress->hide();
    const bool stopped = m_stop;
    setGenerating(false);
    if (m_closed) {
        deleteLater();
        return;
    }
    if (stopped) // the program is ending
        return;
    const GeneratorResult &result = generator.result();
    if (!result.message.isEmpty()) {
        Seams::instance().message(this, QApplication::applicationName(), result.message);
        return;
    }
    m_meanValue->setText(result.meanValue);
    m_sdValue->setText(result.sdValue);
    m_targetMean = plan.mean;
    m_targetSd = plan.sd;
    m_values->setValues(generator.takeValues(), plan.decimals);
    m_targets = QStringLiteral("目标均数 %1，目标标准差 %2，例数 %3，小数点位数 %4")
                    .arg(plan.meanText, plan.sdText, QString::number(plan.count),
                         QString::number(plan.decimals));
    setResultsVisible(true);
}

void GeneratorWindow::setGenerating(bool on) {
    m_generating = on;
    if (on)
        m_stop = false;
    m_generate->setEnabled(!on);
    m_save->setEnabled(!on);
    // The program may be asked to end while a generation lets events run; that must stop it.
    if (on)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

bool GeneratorWindow::eventFilter(QObject *watched, QEvent *event) {
    if (watched == qApp && event->type() == QEvent::Quit)
        m_stop = true;
    return QWidget::eventFilter(watched, event);
}

void GeneratorWindow::tick() {
    m_progressWidth += TickTwips;
    if (m_progressWidth > StripTwips)
        m_progressWidth = 1;
    m_progress->resize(std::max(1, m_progressWidth / 15), m_progress->height());
}

// As the main window's export, with the working list alone in the first column.
void GeneratorWindow::save() {
    WorkbookProperties properties;
    properties.title = SimulatedDataTitle;
    properties.comments = m_targets;
    saveColumnsAs(this, {m_values->texts()}, m_pathLabel, properties);
}

// Closing discards everything; a running generation is stopped first and the window goes
// once the generation has unwound.
void GeneratorWindow::closeEvent(QCloseEvent *event) {
    event->accept();
    if (g_instance == this)
        g_instance = nullptr;
    if (m_generating) {
        m_closed = true;
        m_stop = true;
    } else {
        deleteLater();
    }
}

} // namespace quarbel
