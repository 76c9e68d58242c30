#include "results/GridSort.h"

#include "text/Formats.h"

#include <algorithm>
#include <cmath>

namespace vantrel {

void TextSortKeys::reserve(qsizetype rows, qsizetype chars) {
    m_starts.reserve(size_t(rows) + 1);
    m_prefixes.reserve(size_t(rows));
    m_chars.reserve(size_t(chars));
}

void TextSortKeys::append(QString text) {
    const QString upper = std::move(text).toUpper();
    std::uint64_t prefix = 0;
    for (qsizetype k = 0; k < 4; ++k)
        prefix = (prefix << 16) | (k < upper.size() ? upper[k].unicode() : 0u);
    m_prefixes.push_back(prefix);
    const char16_t* chars = reinterpret_cast<const char16_t*>(upper.constData());
    std::copy(chars, chars + upper.size(), m_chars.extend(size_t(upper.size())));
    m_starts.push_back(qsizetype(m_chars.size()));
}

void TextSortKeys::appendUtf8(const char* data, qsizetype size) {
    for (qsizetype k = 0; k < size; ++k) {
        if (static_cast<unsigned char>(data[k]) >= 0x80) {
            append(QString::fromUtf8(data, size));
            return;
        }
    }
    char16_t* out = m_chars.extend(size_t(size));
    std::uint64_t prefix = 0;
    for (qsizetype k = 0; k < size; ++k) {
        char16_t c = char16_t(static_cast<unsigned char>(data[k]));
        if (c >= u'a' && c <= u'z')
            c = char16_t(c - (u'a' - u'A'));
        out[k] = c;
        if (k < 4)
            prefix = (prefix << 16) | c;
    }
    for (qsizetype k = size; k < 4; ++k)
        prefix <<= 16;
    m_prefixes.push_back(prefix);
    m_starts.push_back(qsizetype(m_chars.size()));
}

namespace {

using Perm = std::uint32_t;

// A row of the range being sorted, carrying its key (or the key's first
// characters) so that comparisons read the sorted array itself.
struct ValueItem {
    double key;
    Perm index;
};
struct TextItem {
    std::uint64_t prefix;
    Perm index;
};

// Sorts p[lo..hi] (inclusive) with `before(a, b)`: a lies before b in the
// requested direction. The smaller part is sorted by recursion and the larger
// one by the loop, which bounds the stack depth; the parts do not overlap,
// so the order in which they are sorted does not change the result.
template <typename Item, typename Before>
void quickSort(Item* p, qsizetype lo, qsizetype hi, const Before& before, bool smallRangesBySwaps) {
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
        const Item pivot = p[(lo + hi) / 2];
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

int TextSortKeys::compare(std::uint32_t a, std::uint32_t b) const {
    // Equal prefixes (or a key shorter than four characters against one that
    // goes on with U+0000) are decided by the whole texts.
    const std::uint64_t pa = m_prefixes[a];
    const std::uint64_t pb = m_prefixes[b];
    if (pa != pb)
        return pa < pb ? -1 : 1;
    return compareCodes(at(a), at(b));
}

void sortPermutationByText(std::vector<Perm>& perm, const TextSortKeys& keys, bool descending) {
    if (perm.size() < 2)
        return;
    RowVector<TextItem> items(perm.size());
    for (size_t p = 0; p < perm.size(); ++p)
        items[p] = TextItem{keys.prefix(perm[p]), perm[p]};
    const auto compare = [&keys](const TextItem& a, const TextItem& b) {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix ? -1 : 1;
        return compareCodes(keys.at(a.index), keys.at(b.index));
    };
    const qsizetype last = qsizetype(items.size()) - 1;
    if (descending) {
        const auto before = [&compare](const TextItem& a, const TextItem& b) {
            return compare(a, b) > 0;
        };
        quickSort(items.data(), 0, last, before, true);
    } else {
        const auto before = [&compare](const TextItem& a, const TextItem& b) {
            return compare(a, b) < 0;
        };
        quickSort(items.data(), 0, last, before, true);
    }
    for (size_t p = 0; p < perm.size(); ++p)
        perm[p] = items[p].index;
}

void sortPermutationByValue(std::vector<Perm>& perm, const std::vector<double>& keys,
                            bool descending) {
    if (perm.size() < 2)
        return;
    RowVector<ValueItem> items(perm.size());
    for (size_t p = 0; p < perm.size(); ++p)
        items[p] = ValueItem{keys[perm[p]], perm[p]};
    const qsizetype last = qsizetype(items.size()) - 1;
    if (descending) {
        quickSort(
            items.data(), 0, last,
            [](const ValueItem& a, const ValueItem& b) { return a.key > b.key; }, false);
    } else {
        quickSort(
            items.data(), 0, last,
            [](const ValueItem& a, const ValueItem& b) { return a.key < b.key; }, false);
    }
    for (size_t p = 0; p < perm.size(); ++p)
        perm[p] = items[p].index;
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
