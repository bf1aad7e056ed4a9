#pragma once

#include <QAbstractListModel>

#include <cstdint>
#include <vector>

namespace quarbel {

// The generated values as a list model: kept as units of the last decimal and turned into
// text only for the rows a view shows, so a million values cost no million strings.
class ValueListModel : public QAbstractListModel {
    Q_OBJECT
  public:
    explicit ValueListModel(QObject *parent = nullptr);

    void setValues(std::vector<std::int64_t> units, int decimals);
    void clear();
    const std::vector<std::int64_t> &units() const { return m_units; }
    int decimals() const { return m_decimals; }
    QStringList texts() const;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

  private:
    std::vector<std::int64_t> m_units;
    int m_decimals{0};
};

} // namespace quarbel
