#include "ui/entry/data_grid.h"

#include "core/entry/column_list.h"
#include "ui/entry/numeric_cell.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>
#include <climits>

namespace quarbel {
namespace {

constexpr CellRules gridRules{.fullStops = true, .trailingFilter = true, .caretToEnd = true};

// Room kept below the window: growth keeps Max at least p + 4 when the last row is typed in.
constexpr int GrowthMargin = 4;

QString itemName(const QString &array, int i) {
    return array + u'_' + QString::number(i);
}

} // namespace

DataGrid *DataGrid::twoColumn(ColumnList *first, ColumnList *second, bool &refreshFlag,
                              QWidget *parent) {
    const Names names{
        .panel = QStringLiteral("Picture2"),
        .cells = {QStringLiteral("Text1"), QStringLiteral("Text2")},
        .rowLabels = QStringLiteral("Label3"),
        .scrollBar = QStringLiteral("VS1"),
        .headers = {QStringLiteral("序号"), QStringLiteral("第 1 组"), QStringLiteral("第 2 组")},
        .captions = QStringLiteral("ColumnCaption1"),
        .growByEditedList = false,
        .firstColumnUpOnRelease = true,
        .topOnReset = true,
    };
    return new DataGrid(names, {first, second}, refreshFlag, parent);
}

DataGrid *DataGrid::threeGroup(ColumnList *first, ColumnList *second, ColumnList *third,
                               bool &refreshFlag, QWidget *parent) {
    const Names names{
        .panel = QStringLiteral("Picture6"),
        .cells = {QStringLiteral("Text30"), QStringLiteral("Text40"), QStringLiteral("Text50")},
        .rowLabels = QStringLiteral("Label30"),
        .scrollBar = QStringLiteral("VSl1"),
        .headers = {QStringLiteral("序号"), QStringLiteral("第 1 组"), QStringLiteral("第 2 组"),
                    QStringLiteral("第 3 组")},
        .captions = QStringLiteral("ColumnCaption3"),
        .growByEditedList = true,
        .firstColumnUpOnRelease = false,
        .topOnReset = false,
    };
    return new DataGrid(names, {first, second, third}, refreshFlag, parent);
}

DataGrid::DataGrid(const Names &names, std::vector<ColumnList *> lists, bool &refreshFlag,
                   QWidget *parent)
    : Panel(parent), m_names(names), m_lists(std::move(lists)), m_refresh(&refreshFlag) {
    setObjectName(names.panel);
    setFrameShape(QFrame::StyledPanel);
    auto *layout = new QGridLayout(this);
    layout->setHorizontalSpacing(4);
    layout->setVerticalSpacing(2);

    for (int h = 0; h < names.headers.size(); ++h) {
        auto *header = new QLabel(names.headers[h], this);
        header->setAlignment(Qt::AlignCenter);
        layout->addWidget(header, 0, h);
        if (h > 0) {
            header->setObjectName(itemName(names.captions, h - 1));
            m_captions.push_back(header);
        }
    }

    m_cells.resize(m_lists.size());
    for (int r = 0; r < Rows; ++r) {
        auto *label = new QLabel(QString::number(r + 1), this);
        label->setObjectName(itemName(names.rowLabels, r));
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(40);
        layout->addWidget(label, r + 1, 0);
        m_rowLabels.push_back(label);
        for (int c = 0; c < columnCount(); ++c) {
            auto *cell = new NumericCell(itemName(names.cells.at(c), r), gridRules, this);
            cell->setGate([flag = m_refresh] { return *flag; });
            cell->setFixedWidth(96);
            cell->installEventFilter(this);
            connect(cell, &NumericCell::edited, this,
                    [this, c, r](const QString &text) { onEdited(c, r, text); });
            layout->addWidget(cell, r + 1, c + 1);
            m_cells[std::size_t(c)].push_back(cell);
        }
    }

    m_scrollBar = new QScrollBar(Qt::Vertical, this);
    m_scrollBar->setObjectName(names.scrollBar);
    m_scrollBar->setRange(0, 5);
    m_scrollBar->setSingleStep(1);
    m_scrollBar->setPageStep(Rows);
    layout->addWidget(m_scrollBar, 1, columnCount() + 1, Rows, 1);
    connect(m_scrollBar, &QScrollBar::valueChanged, this, &DataGrid::refresh);
}

NumericCell *DataGrid::cell(int column, int row) const {
    return m_cells.at(std::size_t(column)).at(std::size_t(row));
}

void DataGrid::setColumnCaptions(const QStringList &captions) {
    for (std::size_t c = 0; c < m_captions.size(); ++c) {
        const qsizetype i = qsizetype(c);
        m_captions[c]->setText(i < captions.size() ? captions[i] : m_names.headers.at(i + 1));
    }
}

void DataGrid::refresh() {
    const bool previous = *m_refresh;
    *m_refresh = true;
    const int p = m_scrollBar->value();
    for (int r = 0; r < Rows; ++r) {
        for (int c = 0; c < columnCount(); ++c)
            cell(c, r)->setText(list(c)->at(p + r));
        m_rowLabels[std::size_t(r)]->setText(QString::number(qint64(p) + r + 1));
    }
    *m_refresh = previous;
}

void DataGrid::clearInputs() {
    for (ColumnList *l : m_lists)
        l->reset(0);
    m_scrollBar->setRange(0, 5);
    if (m_names.topOnReset)
        m_scrollBar->setValue(0);
    for (ColumnList *l : m_lists)
        l->reset(EmptyEntries);
    for (int r = 0; r < Rows; ++r) {
        for (int c = 0; c < columnCount(); ++c)
            cell(c, r)->clear();
        m_rowLabels[std::size_t(r)]->setText(QString::number(r + 1));
    }
}

void DataGrid::clearLists() {
    for (ColumnList *l : m_lists)
        l->reset(EmptyEntries);
    refresh();
}

void DataGrid::load(QList<QStringList> columns, QList<std::vector<std::int64_t>> ticks,
                    qsizetype rows) {
    // Show empty cells first, without storing, so that the cell writes below are changes: each
    // runs the grid's cell rules and stores its (possibly shortened) text back at the same
    // entry.
    for (ColumnList *l : m_lists)
        l->reset(0);
    m_scrollBar->setMaximum(int(std::min<qsizetype>(rows - Rows, INT_MAX)));
    m_scrollBar->setValue(0);
    refresh();
    for (int c = 0; c < columnCount(); ++c) {
        QStringList texts = c < columns.size() ? std::move(columns[c]) : QStringList();
        const bool parsed = c < ticks.size() && qsizetype(ticks[c].size()) == texts.size();
        texts.resize(rows);
        if (parsed) {
            std::vector<std::int64_t> entries = std::move(ticks[c]);
            entries.resize(std::size_t(rows), ColumnList::Missing);
            list(c)->replaceAll(std::move(texts), std::move(entries));
        } else {
            list(c)->replaceAll(texts);
        }
    }
    // Row by row; the two-column grid writes its second column first.
    QList<int> order;
    for (int c = 0; c < columnCount(); ++c)
        order.append(c);
    if (columnCount() == 2)
        std::reverse(order.begin(), order.end());
    // The method is recomputed once per column when all are stored, not once per cell (each
    // recomputation reads the whole column), and for every column, also one whose visible
    // cells are all empty.
    {
        const QSignalBlocker quiet(this);
        for (int r = 0; r < Rows; ++r)
            for (int c : order)
                cell(c, r)->setText(list(c)->at(r));
    }
    for (int c : order)
        Q_EMIT stored(c);
}

void DataGrid::onEdited(int column, int row, const QString &text) {
    if (row == Rows - 1)
        grow(column);
    const qsizetype entry = qsizetype(m_scrollBar->value()) + row;
    // Lists shorter than the window (an import that set Max too high) are lengthened rather
    // than dropping what was typed.
    if (entry >= list(column)->count()) {
        const qsizetype k = entry + 1 - list(column)->count();
        for (ColumnList *l : m_lists)
            l->appendEmpty(k);
    }
    list(column)->set(entry, text.trimmed());
    Q_EMIT stored(column);
}

void DataGrid::grow(int column) {
    const int p = m_scrollBar->value();
    if (m_scrollBar->maximum() >= p + GrowthMargin)
        return;
    m_scrollBar->setMaximum(p + GrowthMargin);
    const ColumnList *counted = m_names.growByEditedList ? list(column) : list(0);
    const qsizetype k = qsizetype(m_scrollBar->maximum()) + Rows - counted->count();
    if (k > 0)
        for (ColumnList *l : m_lists)
            l->appendEmpty(k);
}

void DataGrid::focusCell(int column, int row) {
    NumericCell *target = cell(column, row);
    target->setFocus();
    target->setCursorPosition(int(target->text().size()));
}

void DataGrid::moveDown(int column, int row) {
    if (row < Rows - 1)
        focusCell(column, row + 1);
    else if (m_scrollBar->value() < m_scrollBar->maximum())
        m_scrollBar->setValue(m_scrollBar->value() + 1);
}

void DataGrid::moveUp(int column, int row) {
    if (row > 0)
        focusCell(column, row - 1);
    else if (m_scrollBar->value() > 0)
        m_scrollBar->setValue(m_scrollBar->value() - 1);
}

bool DataGrid::eventFilter(QObject *watched, QEvent *event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease)
        return QFrame::eventFilter(watched, event);
    int column = -1, row = -1;
    for (int c = 0; c < columnCount() && column < 0; ++c)
        for (int r = 0; r < Rows; ++r)
            if (cell(c, r) == watched) {
                column = c;
                row = r;
                break;
            }
    if (column < 0)
        return QFrame::eventFilter(watched, event);

    const auto *key = static_cast<QKeyEvent *>(event);
    const bool press = type == QEvent::KeyPress;
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Down:
        if (press)
            moveDown(column, row);
        return true;
    case Qt::Key_Up: {
        // The first column of the two-column grid answers the release, so holding the key
        // moves one row only; an auto-repeated release is not the key coming up.
        const bool onRelease = column == 0 && m_names.firstColumnUpOnRelease;
        if (onRelease ? (!press && !key->isAutoRepeat()) : press)
            moveUp(column, row);
        return true;
    }
    default:
        return QFrame::eventFilter(watched, event);
    }
}

} // namespace quarbel
