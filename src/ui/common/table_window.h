#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QWidget>

#include <functional>

class QTableView;

namespace quarbel {

// A table of results read row by row from the method's last result: each row is formatted
// only when the view asks for it, so a million rows cost nothing until they are scrolled to.
class ResultTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    using RowTexts = std::function<QStringList(qsizetype row)>;

    ResultTableModel(QStringList header, QObject *parent);

    // `rows` rows, row r formatted by `texts(r)`; the function may hold the result it reads.
    void setRows(qsizetype rows, RowTexts texts);
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // The whole table as tab-separated text, a header line first.
    QString tabSeparated() const;

  private:
    QStringList m_header;
    qsizetype m_rows{0};
    RowTexts m_texts;
};

// A window of its own with a table (`NAME`) and a button that copies it as tab-separated text
// (`NAMECopy`), opened from the method's panel.
class TableWindow : public QWidget {
    Q_OBJECT
  public:
    TableWindow(const QString &name, const QString &title, const QStringList &header,
                QWidget *parent);
    void setRows(qsizetype rows, ResultTableModel::RowTexts texts);
    void copy() const;

  private:
    ResultTableModel *m_model{nullptr};
    QTableView *m_view{nullptr};
};

} // namespace quarbel
