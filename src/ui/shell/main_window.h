#pragma once

#include "ui/common/method_entry.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <vector>

class QAction;
class QFrame;
class QLabel;

namespace quarbel {

class AnovaPanel;
class ColumnList;
class ListPair;
class CorrelationPanel;
class DataGrid;
class ExchangeActions;
class FourFoldPanel;
class GradedPanel;
class MethodBar;
class MethodPictures;
class PairedPanel;
class Panel;
class ReportActions;
class RxCPanel;
class ToolBar;
class TwoSamplePanel;
class VersionWindow;

// Assembles the method bar, menus, toolbar, input panels and result panels, and runs the
// method switch. It holds the window-level state the panels share: the method index, the
// heading, the hidden lists and the grid refresh flag.
class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    int methodIndex() const { return m_methodIndex; }
    void selectMethod(int index);
    DataGrid *twoColumnGrid() const { return m_twoColumnGrid; }
    DataGrid *threeGroupGrid() const { return m_threeGroupGrid; }
    MethodPictures *pictures() const { return m_pictures; }

  public Q_SLOTS:
    // The menu's and the toolbar's import and export entries.
    void importData();
    void exportData();

  protected:
    void closeEvent(QCloseEvent *event) override;

  private:
    void createActions();
    void createMenus();
    void createToolBar();
    QWidget *createMethodBar();
    void createPanels();
    void addInputPanel(QWidget *panel);
    bool dispatchAdded(DataGrid *grid, int column);
    void dispatchTwoColumn(int column);
    DataGrid *activeGrid() const;
    void setResultPanel(Panel *panel);
    void showInputPanel(int index);
    void load();
    void showVersionWindow();

    template <class W> W *child(const QString &name) const { return findChild<W *>(name); }

    int m_methodIndex{0};
    bool m_gridRefresh{false};
    QLabel *m_heading{nullptr};
    MethodBar *m_methodBar{nullptr};
    ToolBar *m_toolBar{nullptr};
    // Every method in index order: the eight, then the added ones.
    std::vector<MethodEntry> m_methods;
    std::array<ColumnList *, 5> m_lists{};
    ListPair *m_pair{nullptr}; // the complete rows of List1 and List2
    DataGrid *m_twoColumnGrid{nullptr};
    DataGrid *m_threeGroupGrid{nullptr};
    TwoSamplePanel *m_twoSample{nullptr};
    PairedPanel *m_paired{nullptr};
    CorrelationPanel *m_correlation{nullptr};
    FourFoldPanel *m_fourFold{nullptr};
    RxCPanel *m_rxc{nullptr};
    GradedPanel *m_graded{nullptr};
    AnovaPanel *m_anovaPanel{nullptr};
    MethodPictures *m_pictures{nullptr};
    QWidget *m_inputArea{nullptr};
    QWidget *m_resultArea{nullptr};

    ExchangeActions *m_exchange{nullptr};
    QAction *m_importAction{nullptr};
    QAction *m_exportAction{nullptr};
    ReportActions *m_report{nullptr};
    QAction *m_copyReportAction{nullptr};
    QAction *m_saveReportAction{nullptr};
    QAction *m_printReportAction{nullptr};
    QAction *m_exitAction{nullptr};
    QAction *m_homePageAction{nullptr};
    QAction *m_versionAction{nullptr};
    QAction *m_tutorialAction{nullptr};
    // A window of its own, not a child: made on first use, at most once.
    QPointer<VersionWindow> m_versionWindow;
};

} // namespace quarbel
