#include "core/generator/value_list_model.h"

#include "core/generator/normal_generator.h"

namespace quarbel {

ValueListModel::ValueListModel(QObject *parent) : QAbstractListModel(parent) {}

void ValueListModel::setValues(std::vector<std::int64_t> units, int decimals) {
    beginResetModel();
    m_units = std::move(units);
    m_decimals = decimals;
    endResetModel();
}

void ValueListModel::clear() {
    setValues({}, m_decimals);
}

QStringList ValueListModel::texts() const {
    QStringList texts;
    texts.reserve(qsizetype(m_units.size()));
    for (const std::int64_t v : m_units)
        texts << scaledText(v, m_decimals);
    return texts;
}

int ValueListModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_units.size());
}

QVariant ValueListModel::data(const QModelIndex &index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= int(m_units.size()))
        return {};
    return scaledText(m_units[std::size_t(index.row())], m_decimals);
}

} // namespace quarbel
