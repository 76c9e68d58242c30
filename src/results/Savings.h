#pragma once

#include <QDate>
#include <QtGlobal>

namespace vantrel {

class IniFile;

// The running savings totals kept in section "Vantrel" of vantrel.ini:
// Ndelete / SizeDelete (files deleted for good and their bytes), NWaste /
// SizeWaste (files sent to the trash and their bytes) and DelDate (the day
// counting began, as a day number: days since 30 December 1899). Each value
// is -1 when nothing has been counted since the last reset (a missing key
// or one that does not hold a whole number reads as -1 too).
struct SavingsTotals {
    qint64 deletedCount = -1;
    qint64 deletedBytes = -1;
    qint64 recycledCount = -1;
    qint64 recycledBytes = -1;
    qint64 startDay = -1;

    bool operator==(const SavingsTotals&) const = default;
};

// Adds one deletion to the totals in one write of the settings file. A
// stored counter of 0 or less (or one that is missing or garbage) is
// replaced by the new amount, a positive one has the amount added (the sum
// stops at the largest 64-bit value instead of wrapping); all four counters
// are written on every call. DelDate is set to `today`'s day number only when
// it reads -1, otherwise it is kept. Negative amounts count as 0. Returns
// false when the settings file cannot be written (it then stays as it was).
bool addSavings(qint64 deletedCount, qint64 deletedBytes, qint64 recycledCount,
                qint64 recycledBytes);
bool addSavings(IniFile& file, qint64 deletedCount, qint64 deletedBytes, qint64 recycledCount,
                qint64 recycledBytes, const QDate& today);

// Reads the five values (for the statistics window).
SavingsTotals readSavings();
SavingsTotals readSavings(const IniFile& file);

// Writes -1 to all five values: counting starts again with the next deletion.
bool resetSavings();
bool resetSavings(IniFile& file);

}  // namespace vantrel
