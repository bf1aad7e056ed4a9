#include "ui/shell/toolbar.h"

#include "ui/shell/launches.h"
#include "ui/shell/svg_picture.h"

#include <QAction>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

#include <array>
#include <functional>

namespace quarbel {
namespace {

struct EntryOf {
    const char *caption;
    const char *picture;
};
const std::array<EntryOf, 4> entries{{
    {"导入", ":/pictures/import.svg"},
    {"导出", ":/pictures/export.svg"},
    {"统计学傻瓜教程", ":/pictures/tutorial.svg"},
    {"帮助", ":/pictures/help.svg"},
}};

QString item(const char *array, int i) {
    return QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(i);
}

// The transparent area over an entry. The toolkit keeps sending the mouse to the widget that
// took the press, so the release arrives here even when the pointer has left the entry.
class HitArea : public QLabel {
  public:
    std::function<void(bool)> onPress;   // true on press, false on release
    std::function<void(bool)> onHover;   // pointer entered or left
    std::function<void(bool)> onEnabled; // enabled state changed

    explicit HitArea(QWidget *parent) : QLabel(parent) {
        setAttribute(Qt::WA_NoMousePropagation);
        setCursor(Qt::PointingHandCursor);
    }

  protected:
    void mousePressEvent(QMouseEvent *event) override {
        if (event->button() != Qt::LeftButton)
            return;
        m_pressed = true;
        onPress(true);
    }
    void mouseReleaseEvent(QMouseEvent *event) override {
        if (event->button() != Qt::LeftButton || !m_pressed)
            return;
        m_pressed = false;
        onPress(false);
    }
    void enterEvent(QEnterEvent *) override { onHover(true); }
    void leaveEvent(QEvent *) override { onHover(false); }
    void changeEvent(QEvent *event) override {
        QLabel::changeEvent(event);
        if (event->type() == QEvent::EnabledChange) {
            m_pressed = false;
            onEnabled(isEnabled());
        }
    }

  private:
    bool m_pressed{false};
};

class ToolEntry : public QFrame {
  public:
    enum class Look { Flat, Raised, Pressed };

    ToolEntry(int index, ToolBar *bar) : QFrame(bar) {
        setObjectName(item("Picture14", index));
        setMinimumWidth(60);
        setAutoFillBackground(true);
        setBackgroundRole(QPalette::Button);
        auto *column = new QVBoxLayout(this);
        column->setContentsMargins(8, 4, 8, 3);
        column->setSpacing(2);
        const EntryOf &entry = entries[std::size_t(index)];
        m_icon = new SvgPicture(QLatin1String(entry.picture), QSize(28, 28), this);
        m_icon->setObjectName(item("Image7", index));
        column->addWidget(m_icon, 0, Qt::AlignHCenter);
        auto *caption = new QLabel(QString::fromUtf8(entry.caption), this);
        caption->setObjectName(item("Label15", index));
        caption->setAlignment(Qt::AlignCenter);
        column->addWidget(caption);

        m_hit = new HitArea(this);
        m_hit->setObjectName(item("Label28", index));
        m_hit->onPress = [this, bar, index](bool down) {
            setLook(down ? Look::Pressed : (m_hit->underMouse() ? Look::Raised : Look::Flat));
            if (!down)
                Q_EMIT bar->activated(index);
        };
        m_hit->onHover = [this](bool inside) {
            if (m_look != Look::Pressed)
                setLook(inside ? Look::Raised : Look::Flat);
        };
        m_hit->onEnabled = [this](bool enabled) {
            m_icon->setEnabled(enabled);
            setLook(Look::Flat);
        };
        setLook(Look::Flat);
    }

  protected:
    void resizeEvent(QResizeEvent *event) override {
        QFrame::resizeEvent(event);
        m_hit->setGeometry(rect());
        m_hit->raise();
    }

  private:
    void setLook(Look look) {
        m_look = look;
        switch (look) {
        case Look::Flat:
            setFrameStyle(QFrame::NoFrame);
            break;
        case Look::Raised:
            setFrameStyle(QFrame::Panel | QFrame::Raised);
            break;
        case Look::Pressed:
            setFrameStyle(QFrame::Panel | QFrame::Sunken);
            break;
        }
        setLineWidth(1);
        // The replay driver reads the look from here.
        setProperty("replayValue",
                    look == Look::Pressed ? QStringLiteral("pressed") : QStringLiteral("flat"));
    }

    Look m_look{Look::Flat};
    SvgPicture *m_icon{nullptr};
    HitArea *m_hit{nullptr};
};

} // namespace

ToolBar::ToolBar(QWidget *parent) : QToolBar(parent) {
    setObjectName(QStringLiteral("Toolbar1"));
    setMovable(false);
    setFloatable(false);
    toggleViewAction()->setVisible(false);
    for (int i = 0; i < int(entries.size()); ++i) {
        addWidget(new ToolEntry(i, this));
        if (i == Export)
            addSeparator();
    }
}

void ToolBar::runEntries(QAction *importAction, QAction *exportAction) {
    connect(this, &ToolBar::activated, this, [importAction, exportAction](int entry) {
        switch (entry) {
        case Import:
            importAction->trigger();
            break;
        case Export:
            exportAction->trigger();
            break;
        case Tutorial:
            openTutorial();
            break;
        case Help:
            openHelp();
            break;
        }
    });
}

void ToolBar::setExchangeEnabled(bool enabled) {
    for (int i : {Import, Export})
        for (const char *array : {"Label15", "Label28"})
            if (auto *widget = findChild<QWidget *>(item(array, i)))
                widget->setEnabled(enabled);
}

} // namespace quarbel
