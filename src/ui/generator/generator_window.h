#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QTimer;

namespace quarbel {

class PlotView;
class ValueListModel;

// The normal-data generator: a window of its own, opened beside the main window. A generation
// runs on the GUI thread in slices and lets events run between them, so the progress bar moves
// and the window can be moved or closed meanwhile.
class GeneratorWindow : public QWidget {
    Q_OBJECT
  public:
    // Shows the one generator window, creating it (centred) when there is none.
    static GeneratorWindow *showInstance(QWidget *owner);

    explicit GeneratorWindow(QWidget *owner = nullptr);
    ~GeneratorWindow() override;

    bool isGenerating() const { return m_generating; }

  protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void generate();
    void save();
    void tick();
    void setGenerating(bool on);
    void setResultsVisible(bool visible);

    QLineEdit *m_mean{nullptr};
    QLineEdit *m_sd{nullptr};
    QLineEdit *m_count{nullptr};
    QComboBox *m_decimals{nullptr};
    QLabel *m_meanCaption{nullptr};
    QLabel *m_meanValue{nullptr};
    QLabel *m_sdCaption{nullptr};
    QLabel *m_sdValue{nullptr};
    QLabel *m_progress{nullptr};
    QTimer *m_ticker{nullptr};
    int m_progressWidth{1}; // in twips, as the strip is laid out
    QListView *m_list{nullptr};
    ValueListModel *m_values{nullptr};
    QPushButton *m_generate{nullptr};
    QPushButton *m_save{nullptr};
    QLabel *m_pathLabel{nullptr}; // invisible: the last file chosen to save to
    PlotView *m_picture{nullptr};
    double m_targetMean{0}; // of the values shown
    double m_targetSd{0};
    // The targets of the sample now in the list, for the saved file's properties.
    QString m_targets;
    bool m_generating{false};
    bool m_stop{false};
    bool m_closed{false};
};

} // namespace quarbel
