#include "results/GridSort.h"

#include "text/Formats.h"

#include <algorithm>
#include <cmath>

namespace vantrel {

void TextSortKeys::reserve(qsizetype rows, qsizetype chars) {
    m_starts.reserve(size_t(rows) + 1);
    m_chars.reserve(chars);
}

void TextSortKeys::append(const QString& text) {
    m_chars.append(text.toUpper());
    m_starts.push_back(m_chars.size());
}

namespace {

using Perm = std::uint32_t;

// Sorts p[lo..hi] (inclusive) with `before(a, b)`: a lies before b in the
// requested direction. The smaller part is sorted by recursion and the larger
// one by the loop, which bounds the stack depth; the parts do not overlap,
// so the order in which they are sorted does not change the result.
template <typename Before>
void quickSort(Perm* p, qsizetype lo, qsizetype hi, const Before& before, bool smallRangesBySwaps) {
    while (lo < hi) {
        if (smallRangesBySwaps && hi - lo <= 4) {
            bool swapped = true;
            while (swapped) {
                swapped = false;
                for (qsizetype k = lo; k < hi; ++k) {
                    if (before(p[k + 1], p[k])) {
                        std::swap(p[k], p[k + 1]);
                        swapped = true;
                    }
                }
            }
            return;
        }
        const Perm pivot = p[(lo + hi) / 2];
        qsizetype i = lo;
        qsizetype j = hi;
        do {
            while (before(p[i], pivot))
                ++i;
            while (before(pivot, p[j]))
                --j;
            if (i <= j) {
                std::swap(p[i], p[j]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - lo < hi - i) {
            quickSort(p, lo, j, before, smallRangesBySwaps);
            lo = i;
        } else {
            quickSort(p, i, hi, before, smallRangesBySwaps);
            hi = j;
        }
    }
}

int compareCodes(QStringView a, QStringView b) {
    const qsizetype n = std::min(a.size(), b.size());
    const char16_t* x = a.utf16();
    const char16_t* y = b.utf16();
    for (qsizetype k = 0; k < n; ++k) {
        if (x[k] != y[k])
            return x[k] < y[k] ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace

void sortPermutationByText(std::vector<Perm>& perm, const TextSortKeys& keys, bool descending) {
    if (perm.size() < 2)
        return;
    const qsizetype last = qsizetype(perm.size()) - 1;
    if (descending) {
        const auto before = [&keys](Perm a, Perm b) {
            return compareCodes(keys.at(a), keys.at(b)) > 0;
        };
        quickSort(perm.data(), 0, last, before, true);
    } else {
        const auto before = [&keys](Perm a, Perm b) {
            return compareCodes(keys.at(a), keys.at(b)) < 0;
        };
        quickSort(perm.data(), 0, last, before, true);
    }
}

void sortPermutationByValue(std::vector<Perm>& perm, const std::vector<double>& keys,
                            bool descending) {
    if (perm.size() < 2)
        return;
    const qsizetype last = qsizetype(perm.size()) - 1;
    const double* k = keys.data();
    if (descending)
        quickSort(
            perm.data(), 0, last, [k](Perm a, Perm b) { return k[a] > k[b]; }, false);
    else
        quickSort(
            perm.data(), 0, last, [k](Perm a, Perm b) { return k[a] < k[b]; }, false);
}

// ---- Sort values ------------------------------------------------------------

double numberSortValue(QStringView text) {
    const TextLocale& loc = TextLocale::current();
    QString plain;
    plain.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char(',') ||
            (loc.thousandsSeparator.size() == 1 && c == loc.thousandsSeparator[0]))
            continue;
        plain.append(c);
    }
    plain = plain.trimmed();
    if (plain.isEmpty())
        return 0.0;
    bool ok = false;
    double value = loc.locale.toDouble(plain, &ok);
    if (!ok)
        value = plain.toDouble(&ok);
    return ok && !std::isnan(value) ? value : 0.0;
}

double dateSortValue(const QDate& date) {
    return date.isValid() ? double(dayNumber(date)) : kNoDateSortValue;
}

double dateSortValue(quint32 packedFileDate) {
    if (packedFileDate == 0)
        return kNoDateSortValue;
    return dateSortValue(fileDateTime(packedFileDate).date());
}

double dateSortValueFromText(QStringView text) {
    const QString trimmed = text.trimmed().toString();
    if (trimmed.isEmpty())
        return kNoDateSortValue;
    const TextLocale& loc = TextLocale::current();
    QDate date = loc.locale.toDate(trimmed, loc.shortDateFormat);
    if (!date.isValid())
        return kNoDateSortValue;
    if (!loc.shortDateFormat.contains(QLatin1String("yyyy"))) {
        // A two-digit year reads as 19yy; move it into the window of 100
        // years around the current year.
        const int now = QDate::currentDate().year();
        while (date.year() < now - 50)
            date = date.addYears(100);
    }
    return dateSortValue(date);
}

}  // namespace vantrel
