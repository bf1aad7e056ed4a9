#pragma once

#include <QMainWindow>
#include <QPointer>

#include <array>

class QAction;
class QFrame;
class QLabel;
class QPushButton;

namespace quarbel {

class AnovaPanel;
class ColumnList;
class ListPair;
class CorrelationPanel;
class DataGrid;
class ExchangeActions;
class FourFoldPanel;
class GradedPanel;
class MethodPictures;
class PairedPanel;
class Panel;
class ReportActions;
class RxCPanel;
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
    void dispatchTwoColumn(int column);
    void setResultPanel(int index, Panel *panel);
    void showInputPanel(int index);
    QWidget *inputPanelOf(int index) const;
    void load();
    void showVersionWindow();

    template <class W> W *child(const QString &name) const { return findChild<W *>(name); }
    void setEnabledOf(const QString &name, bool enabled);

    int m_methodIndex{0};
    bool m_gridRefresh{false};
    QLabel *m_heading{nullptr};
    std::array<QPushButton *, 8> m_methodButtons{};
    std::array<ColumnList *, 5> m_lists{};
    ListPair *m_pair{nullptr}; // the complete rows of List1 and List2
    DataGrid *m_twoColumnGrid{nullptr};
    DataGrid *m_threeGroupGrid{nullptr};
    TwoSamplePanel *m_twoSample{nullptr};
    PairedPanel *m_paired{nullptr};
    CorrelationPanel *m_correlation{nullptr};
    std::array<Panel *, 8> m_resultPanels{};
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
