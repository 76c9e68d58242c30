#include "app/ui/AppWindows.h"

#include "app/ui/HelpWindow.h"
#include "text/ui/Dialogs.h"

#include <QDialog>

namespace vantrel {

AppWindows::AppWindows() = default;

AppWindows::~AppWindows() {
    // In reverse order of creation; windows parented to the launcher may
    // already be gone.
    for (auto it = m_longLived.rbegin(); it != m_longLived.rend(); ++it)
        delete it->second.data();
}

void AppWindows::setToolFactory(ToolWindow tool, ToolFactory factory) {
    if (factory)
        m_tools[tool] = std::move(factory);
    else
        m_tools.erase(tool);
}

bool AppWindows::hasTool(ToolWindow tool) const {
    return m_tools.count(tool) > 0;
}

std::unique_ptr<QDialog> AppWindows::createTool(ToolWindow tool, const ToolRequest& request) const {
    const auto it = m_tools.find(tool);
    if (it == m_tools.end())
        return nullptr;
    return it->second(request);
}

void AppWindows::setLongLivedFactory(LongLivedWindow which, WindowFactory factory) {
    if (factory)
        m_longLivedFactories[which] = std::move(factory);
    else
        m_longLivedFactories.erase(which);
}

void AppWindows::createLongLivedWindows(QWidget* launcher) {
    // std::map keeps the enumeration's order: statistics, find, comparison.
    for (const auto& [which, factory] : m_longLivedFactories) {
        if (m_longLived[which])
            continue;
        std::unique_ptr<QWidget> window = factory(launcher, *this);
        if (!window)
            continue;
        window->hide();
        m_longLived[which] = window.release();
    }
}

QWidget* AppWindows::longLived(LongLivedWindow which) const {
    const auto it = m_longLived.find(which);
    return it == m_longLived.end() ? nullptr : it->second.data();
}

void AppWindows::browse(QWidget* parent, const BrowseRequest& request) const {
    // Owned here for the time it is open, as the launcher owns its tools.
    const std::unique_ptr<QDialog> window =
        createTool(ToolWindow::Browse, ToolRequest{parent, false, this, request});
    if (window)
        dialogs().exec(*window);
}

bool AppWindows::showHelp(int context, QWidget* from) const {
    if (!m_help)
        m_help = std::make_unique<HelpWindow>();
    return m_help->showTopic(m_helpFile, context, from);
}

}  // namespace vantrel
