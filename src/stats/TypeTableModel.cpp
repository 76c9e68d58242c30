#include "stats/TypeTableModel.h"

#include "text/Formats.h"

#include <algorithm>

namespace vantrel {

TypeTableModel::TypeTableModel(QObject* parent) : QAbstractTableModel(parent) {
    m_describer = [](const QString& pattern) { return fileTypeDescription(pattern); };
}

void TypeTableModel::setDescriber(Describer describer) {
    beginResetModel();
    m_describer = std::move(describer);
    for (Row& r : m_rows)
        r.described = false;
    endResetModel();
}

void TypeTableModel::setTypes(const QHash<QByteArray, TypeTotals>& types) {
    beginResetModel();
    m_rows.clear();
    m_rows.reserve(std::size_t(types.size()));
    for (auto it = types.cbegin(); it != types.cend(); ++it)
        m_rows.push_back(Row{it.key(), displayText(it.key()), it.value(), QString(), false});
    m_lookups = 0;
    sortRows();
    endResetModel();
}

void TypeTableModel::sortBy(TypeSort sort) {
    beginResetModel();
    m_sort = sort;
    sortRows();
    endResetModel();
}

void TypeTableModel::sortRows() {
    auto byExtension = [](const Row& a, const Row& b) { return a.key < b.key; };
    std::sort(m_rows.begin(), m_rows.end(), byExtension);
    auto descending = [&](auto value) {
        std::stable_sort(m_rows.begin(), m_rows.end(),
                         [&](const Row& a, const Row& b) { return value(a) > value(b); });
    };
    switch (m_sort) {
        case TypeSort::Extension:
            break;
        case TypeSort::Type: {
            std::vector<QString> upper(m_rows.size());
            for (std::size_t i = 0; i < m_rows.size(); ++i)
                upper[i] = describe(m_rows[i]).toUpper();
            std::vector<std::size_t> order(m_rows.size());
            for (std::size_t i = 0; i < order.size(); ++i)
                order[i] = i;
            std::stable_sort(order.begin(), order.end(),
                             [&](std::size_t a, std::size_t b) { return upper[a] < upper[b]; });
            std::vector<Row> sorted;
            sorted.reserve(m_rows.size());
            for (std::size_t i : order)
                sorted.push_back(std::move(m_rows[i]));
            m_rows = std::move(sorted);
            break;
        }
        case TypeSort::Size:
            descending([](const Row& r) { return r.totals.bytes; });
            break;
        case TypeSort::Count:
            descending([](const Row& r) { return r.totals.count; });
            break;
        case TypeSort::Average:
            descending([](const Row& r) {
                return r.totals.count > 0 ? r.totals.bytes / r.totals.count : qint64(0);
            });
            break;
    }
}

const QString& TypeTableModel::describe(const Row& row) const {
    if (!row.described) {
        const QString pattern = row.key.isEmpty() ? QStringLiteral("*.") : displayText(row.key);
        row.description = m_describer ? m_describer(pattern) : QString();
        row.described = true;
        ++m_lookups;
    }
    return row.description;
}

int TypeTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TypeTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TypeTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(m_rows.size()))
        return QVariant();
    const int row = index.row();
    const int column = index.column();
    switch (role) {
        case Qt::DisplayRole:
            switch (column) {
                case ExtensionColumn:
                    return m_rows[std::size_t(row)].extension;
                case TypeColumn:
                    return describe(m_rows[std::size_t(row)]);
                case SizeColumn:
                    return numberText(bytes(row));
                case CountColumn:
                    return numberText(count(row));
                default:
                    return numberText(average(row));
            }
        case Qt::TextAlignmentRole:
            return int((column >= SizeColumn ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
        case ValueRole:
            switch (column) {
                case SizeColumn:
                    return bytes(row);
                case CountColumn:
                    return count(row);
                case AverageColumn:
                    return average(row);
                default:
                    return QVariant();
            }
        default:
            return QVariant();
    }
}

QVariant TypeTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal)
        return QVariant();
    if (role == Qt::DisplayRole)
        return titles().value(section);
    if (role == Qt::TextAlignmentRole)
        return int((section >= SizeColumn ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    return QVariant();
}

QByteArray TypeTableModel::extensionKey(int row) const {
    return m_rows.at(std::size_t(row)).key;
}

QString TypeTableModel::description(int row) const {
    return describe(m_rows.at(std::size_t(row)));
}

qint64 TypeTableModel::bytes(int row) const {
    return m_rows.at(std::size_t(row)).totals.bytes;
}

qint64 TypeTableModel::count(int row) const {
    return m_rows.at(std::size_t(row)).totals.count;
}

qint64 TypeTableModel::average(int row) const {
    const TypeTotals& t = m_rows.at(std::size_t(row)).totals;
    return t.count > 0 ? t.bytes / t.count : 0;
}

qint64 TypeTableModel::measure(int row, TypeSort measure) const {
    switch (measure) {
        case TypeSort::Count:
            return count(row);
        case TypeSort::Average:
            return average(row);
        default:
            return bytes(row);
    }
}

QStringList TypeTableModel::rowTexts(int row) const {
    const Row& r = m_rows.at(std::size_t(row));
    return {r.extension, describe(r), numberText(r.totals.bytes), numberText(r.totals.count),
            numberText(average(row))};
}

QStringList TypeTableModel::titles() {
    return {QStringLiteral("Extension"), QStringLiteral("Type"), QStringLiteral("Size"),
            QStringLiteral("# Files"), QStringLiteral("Avg File Size")};
}

}  // namespace vantrel
