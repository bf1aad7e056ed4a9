#include "ui/shell/main_window.h"

#include "ui/correlation/correlation_panel.h"
#include "ui/tables/graded_panel.h"
#include "core/entry/column_list.h"
#include "ui/entry/data_grid.h"
#include "ui/exchange/exchange_actions.h"
#include "ui/generator/generator_window.h"
#include "ui/means/anova_panel.h"
#include "ui/means/paired_panel.h"
#include "ui/means/two_sample_panel.h"
#include "ui/shell/launches.h"
#include "core/shell/methods.h"
#include "ui/common/seams.h"
#include "ui/shell/toolbar.h"
#include "ui/shell/version_window.h"
#include "ui/tables/four_fold_panel.h"
#include "ui/tables/rxc_panel.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

namespace quarbel {
namespace {

// The input panel shown for each method and the cell that takes the caret.
struct InputOf {
    const char *panel;
    const char *firstCell;
};
constexpr std::array<InputOf, MethodCount> inputs{{
    {"Picture2", "Text1_0"},
    {"Picture2", "Text1_0"},
    {"Picture6", "Text30_0"},
    {"Picture8", "Text11_0"},
    {"Picture8", "Text11_0"},
    {"Picture7", "Text111_0"},
    {"Picture2", "Text1_0"},
    {"Picture9", "Text12_0"},
}};
constexpr std::array<const char *, 5> inputPanels{"Picture2", "Picture6", "Picture8", "Picture7",
                                                  "Picture9"};

QString item(const char *array, int i) {
    return QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(i);
}

QFrame *placeholderPanel(const QString &name, QWidget *parent) {
    auto *frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setFrameShape(QFrame::StyledPanel);
    return frame;
}

} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Quarbel V15.0"));
    for (int i = 0; i < 5; ++i)
        m_lists[std::size_t(i)] = new ColumnList(QStringLiteral("List%1").arg(i + 1), this);

    createActions();
    createMenus();
    createToolBar();

    auto *central = new QWidget(this);
    auto *row = new QHBoxLayout(central);
    row->addWidget(createMethodBar());

    auto *work = new QVBoxLayout;
    m_heading = new QLabel(methodHeading(TwoSampleT), central);
    m_heading->setObjectName(QStringLiteral("Label1"));
    QFont headingFont = m_heading->font();
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.25);
    headingFont.setBold(true);
    m_heading->setFont(headingFont);
    work->addWidget(m_heading);

    auto *panels = new QHBoxLayout;
    m_inputArea = new QWidget(central);
    m_inputArea->setLayout(new QVBoxLayout);
    m_inputArea->layout()->setContentsMargins(0, 0, 0, 0);
    m_resultArea = new QWidget(central);
    m_resultArea->setLayout(new QVBoxLayout);
    m_resultArea->layout()->setContentsMargins(0, 0, 0, 0);
    panels->addWidget(m_inputArea, 0, Qt::AlignTop);
    panels->addWidget(m_resultArea, 1, Qt::AlignTop);
    work->addLayout(panels, 1);
    row->addLayout(work, 1);
    setCentralWidget(central);

    createPanels();
    load();
}

MainWindow::~MainWindow() {
    delete m_versionWindow;
}

void MainWindow::createActions() {
    auto make = [this](const char *name, const QString &caption) {
        auto *action = new QAction(caption, this);
        action->setObjectName(QString::fromUtf8(name));
        return action;
    };
    m_importAction = make("导入", QStringLiteral("从Excel导入数据"));
    m_exportAction = make("导出", QStringLiteral("导出数据到Excel"));
    m_exitAction = make("退出", QStringLiteral("退出"));
    m_homePageAction = make("访问作者主页", QStringLiteral("访问作者主页"));
    m_versionAction = make("版本信息", QStringLiteral("版本信息"));
    m_tutorialAction = make("医学统计学傻瓜教程", QStringLiteral("医学统计学傻瓜教程"));
    m_importAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    m_exportAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    m_exitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(m_exitAction, &QAction::triggered, this, [] { Seams::instance().endProgram(); });
    connect(m_homePageAction, &QAction::triggered, this, [] { openHomePage(); });
    connect(m_versionAction, &QAction::triggered, this, &MainWindow::showVersionWindow);
    connect(m_tutorialAction, &QAction::triggered, this, [] { openTutorial(); });
    m_exchange = new ExchangeActions(this);
    connect(m_importAction, &QAction::triggered, this, &MainWindow::importData);
    connect(m_exportAction, &QAction::triggered, this, &MainWindow::exportData);
}

void MainWindow::importData() {
    m_exchange->importData();
}

void MainWindow::exportData() {
    m_exchange->exportData();
}

void MainWindow::showVersionWindow() {
    if (!m_versionWindow)
        m_versionWindow = new VersionWindow;
    m_versionWindow->showWindow();
}

void MainWindow::createMenus() {
    QMenu *file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    file->setObjectName(QStringLiteral("文件"));
    file->addAction(m_importAction);
    file->addAction(m_exportAction);
    file->addSeparator()->setObjectName(QStringLiteral("fg"));
    file->addAction(m_exitAction);
    QMenu *help = menuBar()->addMenu(QStringLiteral("帮助(&H)"));
    help->setObjectName(QStringLiteral("帮助"));
    help->addAction(m_homePageAction);
    help->addAction(m_versionAction);
    help->addAction(m_tutorialAction);
}

void MainWindow::createToolBar() {
    auto *bar = new ToolBar(this);
    addToolBar(bar);
    connect(bar, &ToolBar::activated, this, [this](int entry) {
        switch (entry) {
        case ToolBar::Import:
            m_importAction->trigger();
            break;
        case ToolBar::Export:
            m_exportAction->trigger();
            break;
        case ToolBar::Tutorial:
            openTutorial();
            break;
        case ToolBar::Help:
            openHelp();
            break;
        }
    });
}

QWidget *MainWindow::createMethodBar() {
    auto *bar = new QWidget(this);
    auto *column = new QVBoxLayout(bar);
    column->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < MethodCount; ++i) {
        auto *button = new QPushButton(methodCaptions().at(std::size_t(i)), bar);
        button->setObjectName(item("Command1", i));
        button->setMinimumHeight(36);
        connect(button, &QPushButton::clicked, this, [this, i] { selectMethod(i); });
        column->addWidget(button);
        m_methodButtons[std::size_t(i)] = button;
    }
    column->addSpacing(16);
    const std::array<std::pair<const char *, QString>, 3> tools{{
        {"Command2", QStringLiteral("正态分布数据生成工具")},
        {"Command4", QStringLiteral("统计学傻瓜教程")},
        {"Command5", QStringLiteral("计算器")},
    }};
    for (const auto &[name, caption] : tools) {
        auto *button = new QPushButton(caption, bar);
        button->setObjectName(QLatin1String(name));
        column->addWidget(button);
        if (qstrcmp(name, "Command4") == 0)
            connect(button, &QPushButton::clicked, this, [] { openTutorial(); });
        else if (qstrcmp(name, "Command5") == 0)
            connect(button, &QPushButton::clicked, this, [] { startCalculator(); });
    }
    connect(bar->findChild<QPushButton *>(QStringLiteral("Command2")), &QPushButton::clicked, this,
            [this] { GeneratorWindow::showInstance(this); });
    column->addStretch(1);
    return bar;
}

// One line a panel: each subsystem's panel class replaces its placeholder here.
void MainWindow::createPanels() {
    m_twoColumnGrid = DataGrid::twoColumn(m_lists[0], m_lists[1], m_gridRefresh, this);
    addInputPanel(m_twoColumnGrid);
    connect(m_twoColumnGrid, &DataGrid::stored, this, &MainWindow::dispatchTwoColumn);
    m_threeGroupGrid =
        DataGrid::threeGroup(m_lists[2], m_lists[3], m_lists[4], m_gridRefresh, this);
    addInputPanel(m_threeGroupGrid);
    auto *fourFoldResults = new FourFoldResultPanel(this);
    auto *pairedFourFoldResults = new PairedFourFoldResultPanel(this);
    auto *rxcResults = new RxCResultPanel(this);
    auto *gradedResults = new GradedResultPanel(this);
    addInputPanel(new FourFoldPanel(m_heading, fourFoldResults, pairedFourFoldResults, this));
    addInputPanel(new RxCPanel(rxcResults, this));
    addInputPanel(new GradedPanel(gradedResults, this));

    setResultPanel(TwoSampleT, m_twoSample = new TwoSamplePanel(this));
    setResultPanel(PairedT, m_paired = new PairedPanel(this));
    setResultPanel(Anova, m_anovaPanel = new AnovaPanel(this));
    connect(m_threeGroupGrid, &DataGrid::stored, this, [this](int column) {
        m_anovaPanel->showGroup(column + 1,
                                summariseGroup(m_lists[std::size_t(2 + column)]->ticks()));
    });
    setResultPanel(FourFold, fourFoldResults);
    setResultPanel(PairedFourFold, pairedFourFoldResults);
    setResultPanel(RxC, rxcResults);
    setResultPanel(Correlation, m_correlation = new CorrelationPanel(this));
    setResultPanel(Graded, gradedResults);
}

// The two-column grid serves three methods; the heading says which one is active.
void MainWindow::dispatchTwoColumn(int column) {
    const QString heading = m_heading->text();
    const auto first = m_lists[0]->ticks(), second = m_lists[1]->ticks();
    if (heading == methodHeading(PairedT))
        m_paired->recompute(first, second);
    if (heading == methodHeading(TwoSampleT))
        m_twoSample->fillSummary(column, m_lists[std::size_t(column)]->ticks());
    if (heading == methodHeading(Correlation))
        m_correlation->recompute(first, second);
}

void MainWindow::addInputPanel(QWidget *panel) {
    panel->setParent(m_inputArea);
    m_inputArea->layout()->addWidget(panel);
}

void MainWindow::setResultPanel(int index, QWidget *panel) {
    panel->setParent(m_resultArea);
    m_resultArea->layout()->addWidget(panel);
    m_resultPanels[std::size_t(index)] = panel;
}

void MainWindow::load() {
    if (auto *vs = child<QScrollBar>(QStringLiteral("VS1")))
        vs->setRange(0, 5);
    for (ColumnList *list : m_lists)
        list->reset(15);
    for (int r = 0; r < 10; ++r) {
        setTextOf(item("Text1", r), QString());
        setTextOf(item("Text2", r), QString());
        setTextOf(item("Label3", r), QString::number(r + 1));
    }
    for (int i = 1; i < MethodCount; ++i)
        m_resultPanels[std::size_t(i)]->hide();
    for (const char *name : inputPanels)
        if (auto *panel = child<QWidget>(QLatin1String(name)))
            panel->setVisible(qstrcmp(name, "Picture2") == 0);
    m_methodButtons[0]->setFont([f = m_methodButtons[0]->font()]() mutable {
        f.setBold(true);
        return f;
    }());

    resize(1240, 700);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move((area.width() - width()) / 2, (area.height() - height()) / 2);
    }
}

// The steps run in this order on purpose: emptying a cell that held text runs its change
// handler on the half-reset window, and the later steps clear what those handlers wrote.
void MainWindow::selectMethod(int index) {
    if (index < 0 || index >= MethodCount)
        index = TwoSampleT;
    m_methodIndex = index;

    for (int i = 0; i < MethodCount; ++i) {
        QFont f = m_methodButtons[std::size_t(i)]->font();
        f.setBold(i == index);
        m_methodButtons[std::size_t(i)]->setFont(f);
    }

    m_heading->setText(methodHeading(index));

    for (ColumnList *list : m_lists)
        list->reset(0);
    auto *vs1 = child<QScrollBar>(QStringLiteral("VS1"));
    auto *vsl1 = child<QScrollBar>(QStringLiteral("VSl1"));
    if (vsl1)
        vsl1->setRange(0, 5);
    if (vs1) {
        vs1->setRange(0, 5);
        vs1->setValue(0);
    }
    for (ColumnList *list : m_lists)
        list->reset(15);

    for (int r = 0; r < 10; ++r) {
        for (const char *cells : {"Text1", "Text2", "Text30", "Text40", "Text50"})
            setTextOf(item(cells, r), QString());
        setTextOf(item("Label3", r), QString::number(r + 1));
        setTextOf(item("Label30", r), QString::number(r + 1));
    }

    const bool exchange = usesGrid(index);
    m_importAction->setEnabled(exchange);
    m_exportAction->setEnabled(exchange);
    for (int i : {0, 1}) {
        setEnabledOf(item("Label15", i), exchange);
        setEnabledOf(item("Label28", i), exchange);
    }

    for (int i = 0; i < 6; ++i)
        setTextOf(item("Text4", i), QString());
    for (int i = 0; i < 4; ++i)
        setTextOf(item("Text11", i), QString());
    for (int i = 0; i <= 20; ++i)
        setTextOf(item("Label18", i), QString());
    for (int i = 1; i <= 6; ++i)
        setTextOf(item("Label20", i), QString());

    for (QWidget *panel : m_resultPanels)
        panel->hide();
    m_resultPanels[std::size_t(index)]->show();

    for (int i = 0; i < 9; ++i)
        setTextOf(item("Text41", i), QString());
    for (int i = 0; i < 8; ++i)
        setTextOf(item("Text12", i), QString());
    for (int i = 0; i < 12; ++i)
        setTextOf(item("Text111", i), QString());

    for (int i : {3, 4, 5, 8, 9, 10, 7, 13, 14, 15, 16, 17, 21, 23, 27})
        setTextOf(item("Label5", i), QString());
    for (int i : {3, 4, 5, 6, 7, 12})
        setTextOf(item("Label13", i), QString());
    for (int i : {7, 8})
        setTextOf(item("Label20", i), QString());
    if (auto *warning = child<QWidget>(QStringLiteral("Label22")))
        warning->hide();

    const InputOf &input = inputs[std::size_t(index)];
    for (const char *name : inputPanels)
        if (auto *panel = child<QWidget>(QLatin1String(name)))
            panel->setVisible(qstrcmp(name, input.panel) == 0);
    if (index == FourFold || index == PairedFourFold) {
        const bool paired = index == PairedFourFold;
        setTextOf(item("Label17", 0), paired ? QStringLiteral("治疗后") : QStringLiteral("组  别"));
        setTextOf(item("Label17", 1),
                  paired ? QStringLiteral("  治疗前  ") : QStringLiteral("结     果"));
        setTextOf(item("Label17", 3), paired ? QStringLiteral("（+）") : QStringLiteral("试验组"));
        setTextOf(item("Label17", 4), paired ? QStringLiteral("（-）") : QStringLiteral("对照组"));
        setTextOf(item("Label16", 0), methodCaptions().at(std::size_t(index)));
    }
    if (auto *cell = child<QLineEdit>(QLatin1String(input.firstCell))) {
        cell->setFocus();
        cell->setCursorPosition(int(cell->text().size()));
    }
}

void MainWindow::setTextOf(const QString &name, const QString &text) {
    if (auto *edit = child<QLineEdit>(name))
        edit->setText(text);
    else if (auto *label = child<QLabel>(name))
        label->setText(text);
}

void MainWindow::setEnabledOf(const QString &name, bool enabled) {
    if (auto *widget = child<QWidget>(name))
        widget->setEnabled(enabled);
}

void MainWindow::closeEvent(QCloseEvent *event) {
    event->accept();
    QCoreApplication::quit();
}

} // namespace quarbel
