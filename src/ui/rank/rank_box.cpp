#include "ui/rank/rank_box.h"

#include "core/entry/column_list.h"
#include "core/rank/rank_details.h"
#include "ui/common/pending_work.h"

#include <QBoxLayout>
#include <QEvent>
#include <QLabel>
#include <QScrollArea>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>
#include <span>

namespace quarbel {

// Three to a row keeps a group's median and quartiles on one line; correlation's box, beside
// a details box of two to a row, takes two.
RankBox::RankBox(Method method, std::vector<const ColumnList *> lists, QWidget *panel)
    : DetailsBox(rankLayout(method), QStringLiteral("NoteRank%1").arg(int(method)), panel,
                 method == Correlation ? 2 : 3),
      m_method(method), m_lists(std::move(lists)), m_panel(panel),
      m_work(new PendingWork([this] { compute(); }, this)) {
    setTitle(tr("秩和检验与正态性"));
    // Narrower values than the details box's, so three pairs a row fit where its three do.
    for (QLabel *value : findChildren<QLabel *>())
        if (!value->objectName().isEmpty())
            value->setMinimumWidth(60);
    // The advice comes first: when the tab scrolls, what to report is still in sight.
    m_note = findChild<QWidget *>(QStringLiteral("NoteRank%1").arg(int(method)));
    if (auto *outer = qobject_cast<QBoxLayout *>(layout()); outer && m_note) {
        outer->removeWidget(m_note);
        outer->insertWidget(0, m_note);
        outer->addStretch(1); // room to spare goes under the values, not around the note
    }
    for (const ColumnList *list : m_lists) {
        connect(list, &ColumnList::entryChanged, this, &RankBox::refresh);
        connect(list, &ColumnList::replaced, this, &RankBox::refresh);
    }
}

// A hidden panel's box computes nothing: the switch refreshes it when its method is chosen, so
// typing or importing for another method costs nothing here.
void RankBox::refresh() {
    if (m_panel->isHidden())
        m_work->cancel();
    else
        m_work->request(rows());
}

qsizetype RankBox::rows() const {
    qsizetype n = 0;
    for (const ColumnList *list : m_lists)
        n += list->count();
    return n;
}

void RankBox::compute() {
    std::vector<std::span<const std::int64_t>> ticks;
    ticks.reserve(m_lists.size());
    for (const ColumnList *list : m_lists)
        ticks.push_back(list->ticks());
    const RankDetails r = rankDetails(m_method, ticks);
    write(r.details);
    // An empty note at the top would leave a blank line above the values.
    if (m_note)
        m_note->setVisible(!r.details.note.isEmpty());
    Q_EMIT judged(r.reportRankTest);
}

namespace {

// The rank tab as tall as the details tab, scrolling beyond it, so the tabs grow no taller and
// the picture under them stays on a 768-pixel screen.
class ScrollPage : public QScrollArea {
  public:
    ScrollPage(QWidget *content, const QWidget *beside) : m_beside(beside) {
        setWidget(content);
        setWidgetResizable(true);
        setFrameShape(QFrame::NoFrame);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        content->installEventFilter(this);
    }
    // The content grows as values and the note appear; the tabs must hear of it.
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched == widget() && event->type() == QEvent::LayoutRequest)
            updateGeometry();
        return QScrollArea::eventFilter(watched, event);
    }
    QSize sizeHint() const override {
        const QSize content = widget()->sizeHint();
        const int cap = m_beside->sizeHint().height();
        if (content.height() <= cap)
            return content;
        // The scroll bar takes the room the values leave at the right of the box.
        return {content.width(), cap};
    }
    QSize minimumSizeHint() const override {
        return {widget()->minimumSizeHint().width(), std::min(sizeHint().height(), 60)};
    }

  private:
    const QWidget *m_beside;
};

// As wide as the widest page and no wider: the details box alone used to leave the picture
// just enough room beside it, and the tabs must not take that room away.
class DetailsTabs : public QTabWidget {
  public:
    using QTabWidget::QTabWidget;
    QSize sizeHint() const override {
        int width = tabBar()->sizeHint().width();
        for (int i = 0; i < count(); ++i)
            width = std::max(width, widget(i)->sizeHint().width());
        return {width, QTabWidget::sizeHint().height()};
    }
};

} // namespace

QTabWidget *detailsWithRankTab(DetailsBox *details, RankBox *rank, const QString &name,
                               QWidget *parent, bool scrolls) {
    auto *tabs = new DetailsTabs(parent);
    tabs->setObjectName(name);
    tabs->setDocumentMode(true);
    // The tabs carry the boxes' titles, so the boxes need none of their own.
    tabs->addTab(details, details->title());
    tabs->addTab(scrolls ? static_cast<QWidget *>(new ScrollPage(rank, details)) : rank,
                 rank->title());
    details->setTitle(QString());
    rank->setTitle(QString());
    QObject::connect(rank, &RankBox::judged, tabs, [tabs](bool reportRankTest) {
        tabs->tabBar()->setTabTextColor(1, reportRankTest
                                               ? QColor(0x8a, 0x4b, 0x00)
                                               : tabs->palette().color(QPalette::WindowText));
    });
    return tabs;
}

} // namespace quarbel
