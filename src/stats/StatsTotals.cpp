#include "stats/StatsTotals.h"

namespace vantrel {

qint64 StatsTotals::totalBytes() const {
    qint64 total = 0;
    for (qint64 b : sizeBytes)
        total += b;
    return total;
}

}  // namespace vantrel
