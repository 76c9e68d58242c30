#include "results/LastCopyGuard.h"

#include "text/Formats.h"

#include <QSet>

#include <algorithm>

namespace vantrel {

QString lastCopyWarning(const QList<QList<QByteArray>>& groups, const QList<QByteArray>& marked) {
    const QSet<QByteArray> markedSet(marked.cbegin(), marked.cend());
    const QList<QByteArray>* first = nullptr;
    qsizetype more = 0;
    for (const QList<QByteArray>& group : groups) {
        if (group.size() < 2)
            continue;
        const bool all = std::all_of(group.cbegin(), group.cend(),
                                     [&](const QByteArray& p) { return markedSet.contains(p); });
        if (!all)
            continue;
        if (first)
            ++more;
        else
            first = &group;
    }
    if (!first)
        return {};
    QString text = QStringLiteral("All ") + QString::number(first->size()) +
                   QStringLiteral(" copies of ") + displayText(first->front()) +
                   QStringLiteral(" are marked.");
    if (more == 1)
        text += QStringLiteral(" So are all copies of 1 other file.");
    else if (more > 1)
        text += QStringLiteral(" So are all copies of ") + numberText(more) +
                QStringLiteral(" other files.");
    text += QStringLiteral("\n\nDelete every copy anyway?");
    return text;
}

}  // namespace vantrel
