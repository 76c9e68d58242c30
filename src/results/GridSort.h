#pragma once

#include "results/RowMemory.h"

#include <QDate>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

namespace vantrel {

// The grid's three sorts work on the keys of a row range, computed once per
// sort, and reorder a permutation of that range: perm[p] is the index (into
// the keys) of the row that ends up at position p. Start with the identity.
//
// The algorithm is a quicksort whose pivot is the key of the middle row
// ((first + last) / 2); i runs up while its key lies before the pivot in the
// requested direction, j runs down while its key lies after it, the two rows
// are swapped while i <= j, and both parts are sorted the same way. Equal
// keys therefore do not keep their previous order; the same input always
// gives the same order. The text sort hands ranges of at most five rows to
// repeated neighbour-swap passes instead (which do keep equal keys in order).

// Upper-cased key texts of a range, stored back to back, with the first
// four characters of each packed into one number so that most comparisons
// never touch the texts.
class TextSortKeys {
public:
    TextSortKeys() { m_starts.push_back(0); }
    void reserve(qsizetype rows, qsizetype chars);
    // Appends the key of the next row: `text` in upper case.
    void append(QString text);
    // The same for a text given as UTF-8 (ASCII is upper-cased in place,
    // anything else through QString).
    void appendUtf8(const char* data, qsizetype size);
    qsizetype size() const { return qsizetype(m_starts.size()) - 1; }
    QStringView at(qsizetype i) const {
        const size_t k = size_t(i);
        return QStringView(m_chars.data() + m_starts[k], m_starts[k + 1] - m_starts[k]);
    }
    // <0, 0, >0 as key a sorts before, with or after key b, by character code.
    int compare(std::uint32_t a, std::uint32_t b) const;
    // The first four characters of key i, packed (zeros after a shorter key).
    std::uint64_t prefix(std::uint32_t i) const { return m_prefixes[i]; }

private:
    RowArray<char16_t> m_chars;
    RowArray<qsizetype> m_starts;
    RowArray<std::uint64_t> m_prefixes;
};

// Text order: character by character by character code, on the upper-cased keys.
void sortPermutationByText(std::vector<std::uint32_t>& perm, const TextSortKeys& keys,
                           bool descending);
// Number and date order: by value.
void sortPermutationByValue(std::vector<std::uint32_t>& perm, const std::vector<double>& keys,
                            bool descending);

// ---- Sort values ------------------------------------------------------------

// The value of a number cell: the text without thousands separators (","
// and the locale's) as a floating-point number; 0 when it is no number
// ("DELETED", empty text).
double numberSortValue(QStringView text);

// Date values are day numbers (days since 30 December 1899). A cell without
// a date sorts as 1 January 1900, before every real date ascending.
inline constexpr double kNoDateSortValue = 2.0;
double dateSortValue(const QDate& date);       // kNoDateSortValue when invalid
double dateSortValue(quint32 packedFileDate);  // the date of fileDateText; 0 gives no date
// For a date column whose row was added without a value: the text read in
// the short date format (a two-digit year falls in the 100 years around the
// current one); empty or unreadable text gives kNoDateSortValue.
double dateSortValueFromText(QStringView text);

}  // namespace vantrel
