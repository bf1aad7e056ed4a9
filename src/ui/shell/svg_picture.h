#pragma once

#include <QWidget>

class QSvgRenderer;

namespace quarbel {

// A picture drawn from an SVG resource at the screen's own pixel density, so it stays sharp on
// any scale; greyed out while disabled.
class SvgPicture : public QWidget {
  public:
    SvgPicture(const QString &resource, const QSize &size, QWidget *parent);

    QSize sizeHint() const override { return m_size; }

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    QSvgRenderer *m_renderer{nullptr};
    QSize m_size;
};

} // namespace quarbel
