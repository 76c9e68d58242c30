#pragma once

#include "stats/StatsTotals.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace vantrel {

// The five orders of the type table: extension and type ascending (by
// their upper-case text), size, number of files and average size
// descending; rows that tie stay in extension order.
enum class TypeSort { Extension, Type, Size, Count, Average };

// The "Types" listing as a table model over the type table of a run: one row
// per extension with "Extension", "Type", "Size", "# Files" and "Avg File
// Size" (bytes div files, 0 for a type without files). Figures are 64-bit
// numbers, sorted as numbers and turned into text only when shown.
//
// A type's description is looked up only when its row is asked for it (a
// view asks for the rows it paints) and then kept, so a table of 100,000
// extensions shows as fast as one of ten; sorting by type and copying the
// whole table look every description up once.
class TypeTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        ExtensionColumn,
        TypeColumn,
        SizeColumn,
        CountColumn,
        AverageColumn,
        ColumnCount
    };
    // The number behind a figure cell (qint64), for sorting and charts.
    static constexpr int ValueRole = Qt::UserRole;

    // The description of an extension pattern (".DOC"; "*." for files
    // without an extension). The default is fileTypeDescription.
    using Describer = std::function<QString(const QString& pattern)>;

    explicit TypeTableModel(QObject* parent = nullptr);

    void setDescriber(Describer describer);
    // Replaces the rows with the types of a run, in the current order.
    void setTypes(const QHash<QByteArray, TypeTotals>& types);
    void sortBy(TypeSort sort);
    [[nodiscard]] TypeSort sortOrder() const { return m_sort; }

    [[nodiscard]] int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role) const override;

    [[nodiscard]] QByteArray extensionKey(int row) const;
    [[nodiscard]] QString description(int row) const;
    [[nodiscard]] qint64 bytes(int row) const;
    [[nodiscard]] qint64 count(int row) const;
    [[nodiscard]] qint64 average(int row) const;
    // The figure a pie by `measure` (Size, Count or Average) shows.
    [[nodiscard]] qint64 measure(int row, TypeSort measure) const;
    // The five cell texts of a row, and the five titles.
    [[nodiscard]] QStringList rowTexts(int row) const;
    [[nodiscard]] static QStringList titles();
    // How many descriptions have been looked up since the last setTypes.
    [[nodiscard]] int descriptionLookups() const { return m_lookups; }

private:
    struct Row {
        QByteArray key;
        QString extension;  // as shown
        TypeTotals totals;
        mutable QString description;
        mutable bool described = false;
    };
    void sortRows();
    const QString& describe(const Row& row) const;

    std::vector<Row> m_rows;
    TypeSort m_sort = TypeSort::Extension;
    Describer m_describer;
    mutable int m_lookups = 0;
};

}  // namespace vantrel
