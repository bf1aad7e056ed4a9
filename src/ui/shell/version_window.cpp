#include "ui/shell/version_window.h"
#include "ui/common/panel_parts.h"

#include "ui/shell/launches.h"
#include "ui/shell/svg_picture.h"

#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>

namespace quarbel {
namespace {

// Shows the home page address and opens it on a click anywhere on the text.
class LinkLabel : public QLabel {
  public:
    explicit LinkLabel(QWidget *parent) : QLabel(parent) {
        setCursor(Qt::PointingHandCursor);
        QPalette p = palette();
        p.setColor(QPalette::WindowText, p.color(QPalette::Link));
        setPalette(p);
        QFont f = font();
        f.setUnderline(true);
        setFont(f);
    }

  protected:
    void mouseReleaseEvent(QMouseEvent *event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            openHomePage();
    }
};

QLabel *label(const char *name, const QString &text, QWidget *parent) {
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

} // namespace

VersionWindow::VersionWindow(QWidget *parent) : QWidget(parent, Qt::Dialog) {
    setObjectName(QStringLiteral("Form3"));
    setProperty("replayPrefix", QStringLiteral("ver"));
    setWindowTitle(QStringLiteral("版本信息"));

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(20, 18, 20, 16);
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(6);

    auto *logo = new SvgPicture(QStringLiteral(":/pictures/quarbel.svg"), QSize(72, 72), this);
    logo->setObjectName(QStringLiteral("Image1"));
    grid->addWidget(logo, 0, 0, 4, 1, Qt::AlignTop);

    QLabel *product = label("Label1", QStringLiteral("QuarbelV" QUARBEL_VERSION), this);
    QFont big = product->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    product->setFont(big);
    grid->addWidget(product, 0, 1, 1, 2);
    grid->addWidget(
        label("Label2", QStringLiteral("医学统计学计算工具，供临床医生免费使用。"), this), 1, 1, 1,
        2);
    grid->addWidget(
        label("Label3", QStringLiteral("使用中的问题和改进建议，欢迎通过作者主页告诉我们。"), this),
        2, 1, 1, 2);

    grid->addWidget(label("Label4", QStringLiteral("作者主页："), this), 3, 1);
    m_link = new LinkLabel(this);
    m_link->setObjectName(QStringLiteral("Label5"));
    grid->addWidget(m_link, 3, 2);

    auto *rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    grid->addWidget(rule, 4, 0, 1, 3);

    auto *picture = new SvgPicture(QStringLiteral(":/pictures/clinic.svg"), QSize(72, 48), this);
    picture->setObjectName(QStringLiteral("Image2"));
    grid->addWidget(picture, 5, 0, Qt::AlignCenter);
    QLabel *caption =
        label("Label6", QStringLiteral("数据说话，让每一个临床结论都有据可依。"), this);
    QFont italic = caption->font();
    italic.setItalic(true);
    caption->setFont(italic);
    grid->addWidget(caption, 5, 1, 1, 2);
    grid->setColumnStretch(2, 1);

    refreshLink();
    // Fixed size and centred once, when the window is made.
    setFixedSize(sizeHint().expandedTo(QSize(460, 0)));
    centreOnScreen(this);
}

void VersionWindow::showWindow() {
    refreshLink();
    show();
    raise();
    activateWindow();
}

void VersionWindow::refreshLink() {
    const QUrl home = homePageUrl();
    const QString address = home.toString();
    // A long local path is shortened in the middle; the full address stays in the tooltip.
    m_link->setText(m_link->fontMetrics().elidedText(address, Qt::ElideMiddle, 320));
    m_link->setToolTip(address);
}

} // namespace quarbel
