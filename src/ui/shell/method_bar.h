#pragma once

#include <QStringList>
#include <QWidget>

#include <vector>

class QPushButton;

namespace quarbel {

// The column of method buttons at the window's left: the eight classic methods
// (Command1_0 … Command1_7), the methods added after them in a titled group of their own
// (Command1_8, …), then the tool buttons (Command2, Command4, Command5).
class MethodBar : public QWidget {
    Q_OBJECT
  public:
    // `added` holds the captions of the methods after the eight, in index order.
    MethodBar(const QStringList &added, QWidget *parent);

    // The pressed method's button alone is bold.
    void setActive(int method);

  Q_SIGNALS:
    void methodChosen(int method);
    void generatorChosen();

  private:
    QPushButton *methodButton(const QString &caption, int method, QWidget *parent);

    std::vector<QPushButton *> m_buttons;
};

} // namespace quarbel
