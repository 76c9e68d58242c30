#include "results/SortDirections.h"

#include <QHash>

#include <memory>

namespace vantrel {

SortDirections::SortDirections(const GridLayout& layout) {
    m_flags.reserve(layout.sortKeys.size());
    for (const GridSortKey& key : layout.sortKeys)
        m_flags.append(key.initialDescending);
}

bool SortDirections::descending(int key) const {
    return key >= 0 && key < m_flags.size() && m_flags[key];
}

void SortDirections::set(int key, bool descending) {
    if (key >= 0 && key < m_flags.size())
        m_flags[key] = descending;
}

void SortDirections::flip(int key) {
    if (key >= 0 && key < m_flags.size())
        m_flags[key] = !m_flags[key];
}

SortDirections& SortDirections::forRun(const GridLayout& layout) {
    static QHash<QString, std::shared_ptr<SortDirections>> perTool;
    std::shared_ptr<SortDirections>& slot = perTool[layout.id];
    if (!slot)
        slot = std::make_shared<SortDirections>(layout);
    // Never replaced, so that references handed out stay valid; keys a
    // layout adds later start with their initial flags.
    for (qsizetype k = slot->m_flags.size(); k < layout.sortKeys.size(); ++k)
        slot->m_flags.append(layout.sortKeys[k].initialDescending);
    return *slot;
}

}  // namespace vantrel
