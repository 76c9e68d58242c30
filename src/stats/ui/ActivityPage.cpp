#include "stats/ui/ActivityPage.h"

#include "stats/ui/StatsColours.h"
#include "stats/ui/StatsTable.h"
#include "text/Formats.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

namespace vantrel {

// Rows: weekdays, Monday first; column 0 the day's name, columns 1 .. 24 the
// hours.
class ActivityPage::Model : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setTotals(const StatsTotals& totals) {
        beginResetModel();
        m_count = totals.activityCount;
        m_bytes = totals.activityBytes;
        m_largest = 0;
        m_smallest = 0;
        for (const auto& day : m_count) {
            for (qint64 n : day) {
                m_largest = qMax(m_largest, n);
                if (n > 0 && (m_smallest == 0 || n < m_smallest))
                    m_smallest = n;
            }
        }
        endResetModel();
    }

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : kWeekdays;
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : kHours + 1;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal)
            return QVariant();
        if (role == Qt::DisplayRole)
            return section == 0 ? QStringLiteral("Day")
                                : QStringLiteral("%1").arg(section - 1, 2, 10, QLatin1Char('0'));
        if (role == Qt::ToolTipRole && section > 0)
            return TextLocale::current().locale.toString(QTime(section - 1, 0),
                                                         QLocale::ShortFormat);
        if (role == Qt::TextAlignmentRole)
            return int((section == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
        return QVariant();
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid())
            return QVariant();
        const auto day = std::size_t(index.row());
        if (index.column() == 0) {
            if (role == Qt::DisplayRole)
                return TextLocale::current().locale.dayName(index.row() + 1, QLocale::LongFormat);
            return QVariant();
        }
        const auto hour = std::size_t(index.column() - 1);
        const qint64 count = m_count[day][hour];
        switch (role) {
            case Qt::DisplayRole:
                return compactCount(count);
            case StatsTable::CopyTextRole:
                return numberText(count);
            case Qt::TextAlignmentRole:
                return int(Qt::AlignRight | Qt::AlignVCenter);
            case Qt::BackgroundRole:
                return heat(count);
            case Qt::ForegroundRole:
                return heatShare(count) > 0.55 ? QColor(Qt::white) : QColor(Qt::black);
            case Qt::ToolTipRole:
                return TextLocale::current().locale.dayName(index.row() + 1) + QStringLiteral(" ") +
                       TextLocale::current().locale.toString(QTime(int(hour), 0),
                                                             QLocale::ShortFormat) +
                       QStringLiteral(": ") + numberText(count) + QStringLiteral(" files, ") +
                       numberText(m_bytes[day][hour]) + QStringLiteral(" bytes");
            default:
                return QVariant();
        }
    }

private:
    // Counts from a thousand on are shown in thousands or millions ("1.2k",
    // "17k", "3.4M"), so that the 24 hours fit across; the tooltip and the
    // copied table give them exactly.
    static QString compactCount(qint64 count) {
        const QLocale& locale = TextLocale::current().locale;
        if (count < 1000)
            return numberText(count);
        if (count < 10000)
            return locale.toString(double(count) / 1000.0, 'f', 1) + QLatin1Char('k');
        if (count < 1000000)
            return numberText((count + 500) / 1000) + QLatin1Char('k');
        return locale.toString(double(count) / 1000000.0, 'f', 1) + QLatin1Char('M');
    }
    // Where a count lies between the quietest and the busiest hour with
    // files, so that differences show even when every hour is busy.
    double heatShare(qint64 count) const {
        if (count <= 0 || m_largest <= 0)
            return 0.0;
        if (m_largest == m_smallest)
            return 1.0;
        return double(count - m_smallest) / double(m_largest - m_smallest);
    }
    // White for no file, deepening to red for the busiest hour.
    QColor heat(qint64 count) const {
        if (count <= 0)
            return QColor(Qt::white);
        const double s = 0.15 + 0.85 * heatShare(count);
        const QColor hot = StatsColour::Red;
        return QColor::fromRgbF(1.0 - s * (1.0 - hot.redF()), 1.0 - s * (1.0 - hot.greenF()),
                                1.0 - s * (1.0 - hot.blueF()));
    }

    std::array<Figures<kHours>, kWeekdays> m_count{};
    std::array<Figures<kHours>, kWeekdays> m_bytes{};
    qint64 m_largest = 0;
    qint64 m_smallest = 0;  // of the hours with files
};

ActivityPage::ActivityPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pageActivity"));
    auto* note = new QLabel(QStringLiteral("Files by the day of the week and the hour of their "
                                           "last modification: the deeper the colour, the more "
                                           "files. Point at a cell for its files and bytes."),
                            this);
    note->setWordWrap(true);
    m_model = new Model(this);
    gridActivity = new StatsTable(this);
    gridActivity->setObjectName(QStringLiteral("gridActivity"));
    gridActivity->setModel(m_model);
    gridActivity->setShowGrid(true);
    gridActivity->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    gridActivity->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
    int dayWidth = 0;
    for (int d = 1; d <= kWeekdays; ++d)
        dayWidth =
            qMax(dayWidth, fontMetrics().horizontalAdvance(
                               TextLocale::current().locale.dayName(d, QLocale::LongFormat)));
    gridActivity->setColumnWidth(0, dayWidth + 12);
    gridActivity->horizontalHeader()->setMinimumSectionSize(
        fontMetrics().horizontalAdvance(QStringLiteral("9.9k")) + 8);
    gridActivity->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addWidget(gridActivity, 1);
}

void ActivityPage::setTotals(const StatsTotals& totals) {
    m_model->setTotals(totals);
}

}  // namespace vantrel
