#include "ui/common/table_window.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <climits>

namespace quarbel {

ResultTableModel::ResultTableModel(QStringList header, QObject *parent)
    : QAbstractTableModel(parent), m_header(std::move(header)) {}

void ResultTableModel::setRows(qsizetype rows, RowTexts texts) {
    beginResetModel();
    // A view counts rows in int; a longer table shows its first INT_MAX rows.
    m_rows = std::min<qsizetype>(rows, INT_MAX);
    m_texts = std::move(texts);
    endResetModel();
}

int ResultTableModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() || !m_texts ? 0 : int(m_rows);
}

int ResultTableModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_header.size());
}

QVariant ResultTableModel::data(const QModelIndex &index, int role) const {
    if (!m_texts || !index.isValid() || index.row() >= m_rows)
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    return m_texts(index.row()).value(index.column());
}

QVariant ResultTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return m_header.value(section);
    return section + 1;
}

QString ResultTableModel::tabSeparated() const {
    QString text = m_header.join(u'\t') + u'\n';
    for (qsizetype r = 0; m_texts && r < m_rows; ++r)
        text += m_texts(r).join(u'\t') + u'\n';
    return text;
}

TableWindow::TableWindow(const QString &name, const QString &title, const QStringList &header,
                         QWidget *parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(name + QStringLiteral("Window"));
    setWindowTitle(title);
    m_model = new ResultTableModel(header, this);
    m_view = new QTableView(this);
    m_view->setObjectName(name);
    m_view->setModel(m_model);
    m_view->verticalHeader()->setDefaultSectionSize(22);
    m_view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto *copyButton = new QPushButton(tr("复制表格"), this);
    copyButton->setObjectName(name + QStringLiteral("Copy"));
    connect(copyButton, &QPushButton::clicked, this, &TableWindow::copy);
    auto *column = new QVBoxLayout(this);
    column->addWidget(m_view);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(copyButton);
    column->addLayout(buttons);
    resize(720, 480);
}

void TableWindow::setRows(qsizetype rows, ResultTableModel::RowTexts texts) {
    m_model->setRows(rows, std::move(texts));
}

void TableWindow::copy() const {
    QApplication::clipboard()->setText(m_model->tabSeparated());
}

} // namespace quarbel
