#include "ui/shell/main_window.h"

#include "core/entry/column_list.h"
#include "core/entry/list_pair.h"
#include "core/shell/methods.h"
#include "ui/common/panel_parts.h"
#include "ui/common/pending_work.h"
#include "ui/common/seams.h"
#include "ui/correlation/correlation_panel.h"
#include "ui/entry/data_grid.h"
#include "ui/exchange/exchange_actions.h"
#include "ui/generator/generator_window.h"
#include "ui/means/anova_panel.h"
#include "ui/means/paired_panel.h"
#include "ui/means/two_sample_panel.h"
#include "ui/report/report_actions.h"
#include "ui/shell/added_methods.h"
#include "ui/shell/launches.h"
#include "ui/shell/method_bar.h"
#include "ui/shell/method_pictures.h"
#include "ui/shell/toolbar.h"
#include "ui/shell/version_window.h"
#include "ui/tables/four_fold_panel.h"
#include "ui/tables/graded_panel.h"
#include "ui/tables/rxc_panel.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

namespace quarbel {

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Quarbel V" QUARBEL_VERSION));
    for (int i = 0; i < 5; ++i)
        m_lists[std::size_t(i)] = new ColumnList(QStringLiteral("List%1").arg(i + 1), this);
    m_pair = new ListPair(m_lists[0], m_lists[1], this);

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
    m_exchange = new ExchangeActions(this, m_twoColumnGrid, m_threeGroupGrid,
                                     [this] { return activeGrid(); });
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
    connect(m_importAction, &QAction::triggered, this, &MainWindow::importData);
    connect(m_exportAction, &QAction::triggered, this, &MainWindow::exportData);

    // Every method has a report, so these stay enabled as "退出" does.
    m_report = new ReportActions(
        this, [this] { return m_methodIndex; },
        [this] { return m_exchange && m_exchange->holdsSimulatedData(); });
    m_report->setContentSource([this]() -> std::optional<ReportContent> {
        PendingWork::flushAll();
        if (const auto &report = m_methods[std::size_t(m_methodIndex)].report)
            return report();
        return std::nullopt;
    });
    m_copyReportAction = make("复制报告", QStringLiteral("复制报告"));
    m_saveReportAction = make("保存报告", QStringLiteral("保存报告…"));
    m_printReportAction = make("打印报告", QStringLiteral("打印报告…"));
    m_copyReportAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    connect(m_copyReportAction, &QAction::triggered, m_report, &ReportActions::copy);
    connect(m_saveReportAction, &QAction::triggered, m_report, &ReportActions::save);
    connect(m_printReportAction, &QAction::triggered, m_report, &ReportActions::print);
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
    file->addAction(m_copyReportAction);
    file->addAction(m_saveReportAction);
    file->addAction(m_printReportAction);
    file->addSeparator()->setObjectName(QStringLiteral("fg"));
    file->addAction(m_exitAction);
    QMenu *help = menuBar()->addMenu(QStringLiteral("帮助(&H)"));
    help->setObjectName(QStringLiteral("帮助"));
    help->addAction(m_homePageAction);
    help->addAction(m_versionAction);
    help->addAction(m_tutorialAction);
}

void MainWindow::createToolBar() {
    m_toolBar = new ToolBar(this);
    addToolBar(m_toolBar);
    m_toolBar->runEntries(m_importAction, m_exportAction);
}

QWidget *MainWindow::createMethodBar() {
    QStringList added;
    for (int m = MethodCount; m < AllMethodCount; ++m)
        added << methodCaption(m);
    m_methodBar = new MethodBar(added, this);
    connect(m_methodBar, &MethodBar::methodChosen, this, &MainWindow::selectMethod);
    connect(m_methodBar, &MethodBar::generatorChosen, this,
            [this] { GeneratorWindow::showInstance(this); });
    return m_methodBar;
}

// One line a panel: each subsystem's panel class replaces its placeholder here.
void MainWindow::createPanels() {
    m_twoColumnGrid = DataGrid::twoColumn(m_lists[0], m_lists[1], m_gridRefresh, this);
    addInputPanel(m_twoColumnGrid);
    connect(m_twoColumnGrid, &DataGrid::stored, this, [this](int column) {
        if (!dispatchAdded(m_twoColumnGrid, column))
            dispatchTwoColumn(column);
    });
    m_threeGroupGrid =
        DataGrid::threeGroup(m_lists[2], m_lists[3], m_lists[4], m_gridRefresh, this);
    addInputPanel(m_threeGroupGrid);
    auto *fourFoldResults = new FourFoldResultPanel(this);
    auto *pairedFourFoldResults = new PairedFourFoldResultPanel(this);
    auto *rxcResults = new RxCResultPanel(this);
    auto *gradedResults = new GradedResultPanel(this);
    addInputPanel(m_fourFold = new FourFoldPanel(fourFoldResults, pairedFourFoldResults, this));
    addInputPanel(m_rxc = new RxCPanel(rxcResults, this));
    addInputPanel(m_graded = new GradedPanel(gradedResults, this));

    DataGrid *two = m_twoColumnGrid;
    const std::vector<const ColumnList *> columns{m_lists[0], m_lists[1]};
    m_methods = {
        {TwoSampleT, two, m_twoSample = new TwoSamplePanel(columns, this), two, {}, "Text1_0"},
        {PairedT, two, m_paired = new PairedPanel(columns, this), two, {}, "Text1_0"},
        {Anova,
         m_threeGroupGrid,
         m_anovaPanel = new AnovaPanel({m_lists[2], m_lists[3], m_lists[4]}, this),
         m_threeGroupGrid,
         {},
         "Text30_0"},
        {FourFold, m_fourFold, fourFoldResults, nullptr, {}, "Text11_0"},
        {PairedFourFold, m_fourFold, pairedFourFoldResults, nullptr, {}, "Text11_0"},
        {RxC, m_rxc, rxcResults, nullptr, {}, "Text111_0"},
        {Correlation, two, m_correlation = new CorrelationPanel(columns, this), two, {}, "Text1_0"},
        {Graded, m_graded, gradedResults, nullptr, {}, "Text12_0"},
    };
    for (MethodEntry &entry : addedMethods({m_twoColumnGrid, m_threeGroupGrid, m_fourFold}, this))
        m_methods.push_back(std::move(entry));
    for (const MethodEntry &entry : m_methods) {
        if (entry.input && entry.input->parent() != m_inputArea)
            addInputPanel(entry.input);
        setResultPanel(entry.result);
    }
    connect(m_threeGroupGrid, &DataGrid::stored, this, [this](int column) {
        if (!dispatchAdded(m_threeGroupGrid, column))
            m_anovaPanel->showGroup(column + 1,
                                    summariseGroup(m_lists[std::size_t(2 + column)]->totals()));
    });

    std::array<Panel *, MethodCount> classic{};
    for (int m = 0; m < MethodCount; ++m)
        classic[std::size_t(m)] = m_methods[std::size_t(m)].result;
    m_pictures = new MethodPictures({classic, m_twoColumnGrid, m_threeGroupGrid, m_twoSample,
                                     m_anovaPanel, m_fourFold, m_rxc, m_graded},
                                    this);
}

// An added method taking `grid` handles its cells itself while it is active.
bool MainWindow::dispatchAdded(DataGrid *grid, int column) {
    const MethodEntry &entry = m_methods.at(std::size_t(m_methodIndex));
    if (m_methodIndex < MethodCount || entry.grid != grid)
        return false;
    if (entry.stored)
        entry.stored(column);
    return true;
}

// The two-column grid serves three methods; the switch says which one is active.
void MainWindow::dispatchTwoColumn(int column) {
    switch (m_methodIndex) {
    case PairedT:
        m_paired->recompute(m_pair->totals());
        break;
    case TwoSampleT:
        m_twoSample->fillSummary(column, m_lists[std::size_t(column)]->totals());
        break;
    case Correlation:
        m_correlation->recompute(m_pair->totals());
        break;
    default:
        break;
    }
}

DataGrid *MainWindow::activeGrid() const {
    DataGrid *grid = m_methods.at(std::size_t(m_methodIndex)).grid;
    return grid ? grid : m_twoColumnGrid;
}

void MainWindow::addInputPanel(QWidget *panel) {
    panel->setParent(m_inputArea);
    m_inputArea->layout()->addWidget(panel);
}

void MainWindow::setResultPanel(Panel *panel) {
    panel->setParent(m_resultArea);
    m_resultArea->layout()->addWidget(panel);
}

void MainWindow::load() {
    m_twoColumnGrid->clearInputs();
    for (ColumnList *list : m_lists)
        list->reset(DataGrid::EmptyEntries);
    for (std::size_t i = 1; i < m_methods.size(); ++i)
        m_methods[i].result->hide();
    showInputPanel(TwoSampleT);
    m_methodBar->setActive(TwoSampleT);

    // As wide as a 1366-pixel screen allows, so most methods' pictures fit beside their results.
    const QScreen *screen = QGuiApplication::primaryScreen();
    resize(screen ? std::min(1366, screen->availableGeometry().width()) : 1240, 700);
    centreOnScreen(this);
}

void MainWindow::showInputPanel(int index) {
    QWidget *shown = m_methods.at(std::size_t(index)).input;
    for (const MethodEntry &entry : m_methods)
        if (entry.input && entry.input != shown)
            entry.input->hide();
    if (shown)
        shown->show();
}

// The steps run in this order on purpose: emptying a cell that held text runs its change
// handler on the half-reset window, and the later steps clear what those handlers wrote. The
// analysis-of-variance boxes and the R×C and graded cells are emptied after the result
// panel is shown, and what their handlers write stays.
void MainWindow::selectMethod(int index) {
    if (index < 0 || index >= int(m_methods.size()))
        index = TwoSampleT;
    m_methodIndex = index;
    const MethodEntry &chosen = m_methods[std::size_t(index)];
    m_methodBar->setActive(index);
    m_heading->setText(methodHeading(index));
    m_fourFold->setMethod(Method(index));
    if (chosen.activate)
        chosen.activate();
    for (DataGrid *grid : {m_twoColumnGrid, m_threeGroupGrid})
        grid->setColumnCaptions(chosen.grid == grid ? chosen.columnCaptions : QStringList());

    m_twoColumnGrid->clearInputs();
    m_threeGroupGrid->clearInputs();
    m_exchange->forgetImport();

    const bool exchange = usesGrid(index);
    m_importAction->setEnabled(exchange);
    m_exportAction->setEnabled(exchange);
    m_toolBar->setExchangeEnabled(exchange);

    m_twoSample->clearInputs();
    m_fourFold->clearInputs();
    for (const MethodEntry &entry : m_methods) {
        entry.result->hide();
        if (entry.clearInputs)
            entry.clearInputs();
    }
    chosen.result->show();
    m_anovaPanel->clearInputs();
    m_graded->clearInputs();
    m_rxc->clearInputs();
    for (const MethodEntry &entry : m_methods)
        entry.result->clearResults();

    m_pictures->scheduleAll();
    showInputPanel(index);
    if (auto *cell = child<QLineEdit>(chosen.firstCell)) {
        cell->setFocus();
        cell->setCursorPosition(int(cell->text().size()));
    }
}

void MainWindow::closeEvent(QCloseEvent *event) {
    event->accept();
    QCoreApplication::quit();
}

} // namespace quarbel
