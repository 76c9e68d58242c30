#include "results/Savings.h"

#include "settings/IniFile.h"
#include "text/Formats.h"

#include <QString>

#include <limits>

namespace vantrel {

namespace {

const QString kSection = QStringLiteral("Vantrel");
const QString kDeletedCount = QStringLiteral("Ndelete");
const QString kDeletedBytes = QStringLiteral("SizeDelete");
const QString kRecycledCount = QStringLiteral("NWaste");
const QString kRecycledBytes = QStringLiteral("SizeWaste");
const QString kStartDay = QStringLiteral("DelDate");

qint64 storedValue(const IniDocument& doc, const QString& key) {
    const auto text = doc.value(kSection, key);
    if (!text)
        return -1;
    return parseIniInteger(*text).value_or(-1);
}

// The new value of one counter: a stored value of 0 or less restarts from
// the amount, a positive one grows by it without wrapping.
qint64 grown(qint64 stored, qint64 amount) {
    amount = qMax<qint64>(amount, 0);
    if (stored <= 0)
        return amount;
    if (amount > std::numeric_limits<qint64>::max() - stored)
        return std::numeric_limits<qint64>::max();
    return stored + amount;
}

}  // namespace

bool addSavings(qint64 deletedCount, qint64 deletedBytes, qint64 recycledCount,
                qint64 recycledBytes) {
    IniFile file = vantrelIni();
    return addSavings(file, deletedCount, deletedBytes, recycledCount, recycledBytes,
                      QDate::currentDate());
}

bool addSavings(IniFile& file, qint64 deletedCount, qint64 deletedBytes, qint64 recycledCount,
                qint64 recycledBytes, const QDate& today) {
    return file.update([&](IniDocument& doc) {
        const struct {
            const QString& key;
            qint64 amount;
        } counters[] = {{kDeletedCount, deletedCount},
                        {kDeletedBytes, deletedBytes},
                        {kRecycledCount, recycledCount},
                        {kRecycledBytes, recycledBytes}};
        for (const auto& c : counters)
            doc.setValue(kSection, c.key,
                         QString::number(grown(storedValue(doc, c.key), c.amount)));
        if (storedValue(doc, kStartDay) == -1)
            doc.setValue(kSection, kStartDay, QString::number(dayNumber(today)));
    });
}

SavingsTotals readSavings() {
    return readSavings(vantrelIni());
}

SavingsTotals readSavings(const IniFile& file) {
    const IniDocument doc = file.read();
    SavingsTotals t;
    t.deletedCount = storedValue(doc, kDeletedCount);
    t.deletedBytes = storedValue(doc, kDeletedBytes);
    t.recycledCount = storedValue(doc, kRecycledCount);
    t.recycledBytes = storedValue(doc, kRecycledBytes);
    t.startDay = storedValue(doc, kStartDay);
    return t;
}

bool resetSavings() {
    IniFile file = vantrelIni();
    return resetSavings(file);
}

bool resetSavings(IniFile& file) {
    return file.update([](IniDocument& doc) {
        for (const QString* key :
             {&kDeletedCount, &kDeletedBytes, &kRecycledCount, &kRecycledBytes, &kStartDay})
            doc.setValue(kSection, *key, QStringLiteral("-1"));
    });
}

}  // namespace vantrel
