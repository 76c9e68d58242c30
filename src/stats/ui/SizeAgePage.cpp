#include "stats/ui/SizeAgePage.h"

#include "stats/ui/StatsColours.h"
#include "stats/ui/StatsTable.h"
#include "text/Formats.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

namespace vantrel {

// Rows: size classes, "Over 16MB" first; column 0 the size label, columns
// 1 .. 10 the age classes in class order.
class SizeAgePage::Model : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setTotals(const StatsTotals& totals) {
        beginResetModel();
        m_count = totals.sizeAgeCount;
        m_bytes = totals.sizeAgeBytes;
        m_largest = {-1, -1};
        qint64 most = 0;
        for (int s = 0; s < kSizeClasses; ++s) {
            for (int a = 0; a < kAgeClasses; ++a) {
                if (m_bytes[std::size_t(s)][std::size_t(a)] > most) {
                    most = m_bytes[std::size_t(s)][std::size_t(a)];
                    m_largest = {s, a};
                }
            }
        }
        endResetModel();
    }
    QPair<int, int> largest() const { return m_largest; }

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : kSizeClasses;
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : kAgeClasses + 1;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal)
            return QVariant();
        if (role == Qt::DisplayRole)
            return section == 0 ? QStringLiteral("File size") : ageClassLabel(section - 1);
        if (role == Qt::TextAlignmentRole)
            return int((section == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
        return QVariant();
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid())
            return QVariant();
        const int sizeClass = kSizeClasses - 1 - index.row();
        if (index.column() == 0)
            return role == Qt::DisplayRole ? QVariant(sizeClassLabel(sizeClass)) : QVariant();
        const int ageClass = index.column() - 1;
        const qint64 bytes = m_bytes[std::size_t(sizeClass)][std::size_t(ageClass)];
        const qint64 count = m_count[std::size_t(sizeClass)][std::size_t(ageClass)];
        const bool largest = m_largest == qMakePair(sizeClass, ageClass);
        switch (role) {
            case Qt::DisplayRole:
                return numberText(bytes) + QLatin1Char('\n') + numberText(count) +
                       (count == 1 ? QStringLiteral(" file") : QStringLiteral(" files"));
            case StatsTable::CopyTextRole:
                return numberText(bytes) + QStringLiteral(" (") + numberText(count) +
                       QLatin1Char(')');
            case Qt::TextAlignmentRole:
                return int(Qt::AlignRight | Qt::AlignVCenter);
            case Qt::BackgroundRole:
                return largest ? QVariant(StatsColour::Yellow) : QVariant();
            case Qt::ForegroundRole:
                return count == 0 ? QVariant(QColor(Qt::gray)) : QVariant();
            case Qt::FontRole: {
                if (!largest)
                    return QVariant();
                QFont f;
                f.setBold(true);
                return f;
            }
            case Qt::ToolTipRole:
                return sizeClassLabel(sizeClass) + QStringLiteral(", modified ") +
                       ageClassLabel(ageClass) + QStringLiteral(": ") + numberText(count) +
                       QStringLiteral(" files, ") + numberText(bytes) + QStringLiteral(" bytes");
            default:
                return QVariant();
        }
    }

private:
    std::array<Figures<kAgeClasses>, kSizeClasses> m_count{};
    std::array<Figures<kAgeClasses>, kSizeClasses> m_bytes{};
    QPair<int, int> m_largest{-1, -1};
};

SizeAgePage::SizeAgePage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pageSizeAge"));
    auto* note = new QLabel(QStringLiteral("Bytes and files by size (down) and by the age of "
                                           "their last modification (across). The largest cell "
                                           "is highlighted: old and big is what to clean first."),
                            this);
    note->setWordWrap(true);
    m_model = new Model(this);
    gridSizeAge = new StatsTable(this);
    gridSizeAge->setObjectName(QStringLiteral("gridSizeAge"));
    gridSizeAge->setModel(m_model);
    gridSizeAge->setWordWrap(true);
    gridSizeAge->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    gridSizeAge->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
    gridSizeAge->setColumnWidth(
        0, fontMetrics().horizontalAdvance(QStringLiteral("256K - 512K")) + 16);
    gridSizeAge->verticalHeader()->setDefaultSectionSize(fontMetrics().lineSpacing() * 2 + 8);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addWidget(gridSizeAge, 1);
}

void SizeAgePage::setTotals(const StatsTotals& totals) {
    m_model->setTotals(totals);
}

QPair<int, int> SizeAgePage::largestCell() const {
    return m_model->largest();
}

}  // namespace vantrel
