// Engine tests of the listings worked out from the totals (row order,
// attribute shares of all files and bytes, the overhang figures and texts)
// and of the type table model (the five sorts on numbers, descriptions only
// for the rows asked for, the model's contract).
#include "stats/StatsTables.h"
#include "stats/TypeTableModel.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>

namespace vantrel {
namespace {

TEST(StatsTables, ClassRowsRunFromTheLargestOrOldestDown) {
    StatsTotals t;
    t.sizeCount[0] = 3;
    t.sizeBytes[0] = 30;
    t.sizeCount[11] = 1;
    t.sizeBytes[11] = qint64(5) << 30;
    t.ageCount[std::size_t(AgeKind::Created)][0] = 4;
    t.ageCount[std::size_t(AgeKind::Created)][9] = 2;
    const QList<ClassRow> sizes = sizeRows(t);
    ASSERT_EQ(sizes.size(), 12);
    EXPECT_EQ(sizes.first(), (ClassRow{"Over 16MB", qint64(5) << 30, 1}));
    EXPECT_EQ(sizes.last(), (ClassRow{"0 - 16K", 30, 3}));
    const QList<ClassRow> created = ageRows(t, AgeKind::Created);
    ASSERT_EQ(created.size(), 10);
    EXPECT_EQ(created.first(), (ClassRow{"Over 4 years", 0, 2}));
    EXPECT_EQ(created.last(), (ClassRow{"Not recorded", 0, 4}));
    EXPECT_EQ(created[8].label, "<= 7 days");
}

TEST(StatsTables, AttributeSharesAreOfAllFilesAndAllBytes) {
    StatsTotals t;
    t.filesFound = 10;
    t.sizeBytes[0] = 1000;
    t.attrCount = {2, 1, 5, 0};  // hidden, read-only, system, archive
    t.attrBytes = {100, 0, 250, 0};
    const QList<AttributeRow> rows = attributeRows(t);
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[0].label, "Hidden");
    EXPECT_DOUBLE_EQ(rows[0].countPercent, 20.0);
    EXPECT_DOUBLE_EQ(rows[0].bytesPercent, 10.0);
    EXPECT_DOUBLE_EQ(rows[2].countPercent, 50.0);
    EXPECT_DOUBLE_EQ(rows[2].bytesPercent, 25.0);
    EXPECT_EQ(rows[3].label, "Archive");
    EXPECT_DOUBLE_EQ(rows[3].countPercent, 0.0);
    // Nothing found: every share 0, never a division by zero.
    for (const AttributeRow& r : attributeRows(StatsTotals{})) {
        EXPECT_EQ(r.countPercent, 0.0);
        EXPECT_EQ(r.bytesPercent, 0.0);
    }
}

TEST(StatsTables, OverhangFigures) {
    StatsTotals t;
    t.sizeBytes[0] = 4096;
    t.filesFound = 1;
    t.slackBytes = {0, 4096, 12288, 28672, 61440};
    t.allocatedBytes = 8192;
    const OverhangFigures f = overhangFigures(t, 32768);
    EXPECT_EQ(f.totalBytes, 4096);
    EXPECT_EQ(f.clusterIndex, 3);
    EXPECT_DOUBLE_EQ(f.percentWasted[0], 0.0);
    EXPECT_DOUBLE_EQ(f.percentWasted[1], 50.0);
    EXPECT_DOUBLE_EQ(f.percentWasted[4], 61440.0 * 100 / 65536);
    EXPECT_EQ(f.allocatedBytes, 8192);
    EXPECT_EQ(overhangFigures(t, 2048).clusterIndex, -1);
    EXPECT_EQ(overhangFigures(StatsTotals{}, 4096).percentWasted[4], 0.0);

    const struct {
        qint64 bytes;
        const char* text;
    } texts[] = {
        {1048576, "1 MB"}, {1048575, "1,023 KB"}, {0, "0 KB"}, {qint64(5) << 40, "5,242,880 MB"}};
    for (const auto& c : texts)
        EXPECT_EQ(kilobyteOrMegabyteText(c.bytes), c.text);
    EXPECT_EQ(percentLabel(12.5, 1), "12.5 %");
    EXPECT_EQ(percentLabel(12.0, 1), "12 %");
    EXPECT_EQ(percentLabel(33.333, 2), "33.33 %");
    EXPECT_EQ(percentLabel(1234.6, 0), "1,235 %");
}

QHash<QByteArray, TypeTotals> someTypes() {
    return {{".DOC", {3, 10}},
            {".TXT", {1, 1000}},
            {".ZIP", {2, 999}},
            {"", {5, qint64(3) << 32}},
            {".XYZ", {0, 0}}};
}

QList<QByteArray> keysInOrder(const TypeTableModel& m) {
    QList<QByteArray> out;
    for (int r = 0; r < m.rowCount(); ++r)
        out.append(m.extensionKey(r));
    return out;
}

TEST(TypeTableModel, FiveSortsOnNumbersNotTexts) {
    TypeTableModel model;
    QAbstractItemModelTester tester(&model,
                                    QAbstractItemModelTester::FailureReportingMode::Warning);
    model.setDescriber([](const QString& p) {
        if (p == "*.")
            return QStringLiteral("No extension");
        return QStringLiteral("z") + p.mid(1).toLower();  // ".DOC" gives "zdoc"
    });
    model.setTypes(someTypes());
    const struct {
        TypeSort sort;
        QList<QByteArray> keys;
    } cases[] = {
        {TypeSort::Extension, {"", ".DOC", ".TXT", ".XYZ", ".ZIP"}},
        {TypeSort::Type, {"", ".DOC", ".TXT", ".XYZ", ".ZIP"}},
        // 1000 before 999 (as numbers; their texts "1,000" and "999" sort the other way).
        {TypeSort::Size, {"", ".TXT", ".ZIP", ".DOC", ".XYZ"}},
        {TypeSort::Count, {"", ".DOC", ".ZIP", ".TXT", ".XYZ"}},
        {TypeSort::Average, {"", ".TXT", ".ZIP", ".DOC", ".XYZ"}},
    };
    for (const auto& c : cases) {
        model.sortBy(c.sort);
        EXPECT_EQ(keysInOrder(model), c.keys) << int(c.sort);
    }
    model.sortBy(TypeSort::Extension);
    EXPECT_EQ(model.rowTexts(1), QStringList({".DOC", "zdoc", "10", "3", "3"}));
    EXPECT_EQ(model.rowTexts(3), QStringList({".XYZ", "zxyz", "0", "0", "0"}));
    EXPECT_EQ(model.rowTexts(0),
              QStringList({"", "No extension", "12,884,901,888", "5", "2,576,980,377"}));
    EXPECT_EQ(model.data(model.index(0, TypeTableModel::SizeColumn), TypeTableModel::ValueRole)
                  .toLongLong(),
              qint64(3) << 32);
    EXPECT_EQ(model.headerData(4, Qt::Horizontal, Qt::DisplayRole).toString(), "Avg File Size");
}

TEST(TypeTableModel, DescriptionsOnlyForTheRowsAskedFor) {
    TypeTableModel model;
    QStringList asked;
    model.setDescriber([&](const QString& p) {
        asked.append(p);
        return p;
    });
    model.setTypes(someTypes());
    model.sortBy(TypeSort::Size);
    EXPECT_TRUE(asked.isEmpty());
    const QModelIndex type = model.index(1, TypeTableModel::TypeColumn);
    EXPECT_EQ(model.data(type, Qt::DisplayRole).toString(), ".TXT");
    EXPECT_EQ(model.data(type, Qt::DisplayRole).toString(), ".TXT");
    EXPECT_EQ(model.data(model.index(2, TypeTableModel::SizeColumn), Qt::DisplayRole).toString(),
              "999");
    EXPECT_EQ(asked, QStringList({".TXT"}));
    EXPECT_EQ(model.descriptionLookups(), 1);
    // Sorting by type needs them all, once each.
    model.sortBy(TypeSort::Type);
    EXPECT_EQ(asked.size(), 5);
}

}  // namespace
}  // namespace vantrel
