#pragma once

#include <QWidget>

class QLabel;

namespace quarbel {

// The small fixed window "版本信息" (`Form3`): a picture, the product line, the contact lines,
// the home page link and a second picture with its caption. The main window makes it once.
class VersionWindow : public QWidget {
  public:
    explicit VersionWindow(QWidget *parent = nullptr);

    // Refreshes the link to the home page and shows the window without blocking anything.
    void showWindow();

  private:
    void refreshLink();

    QLabel *m_link{nullptr};
};

} // namespace quarbel
