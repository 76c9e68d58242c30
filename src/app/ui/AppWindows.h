#pragma once

#include "results/ui/ToolServices.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>

class QDialog;

namespace vantrel {

class AppWindows;
class HelpWindow;

// The modal tool windows that the launcher opens. Duplicate files and file
// hogs are the two modes of one window.
enum class ToolWindow { Duplicates, FilesByDate, FolderHogs, QuickClean, Browse };

// The program's windows as start-up assembles them and hands them to the
// launcher: how to make each tool window, the windows that live for the
// whole run, and help. A tool without a factory is not offered (its button
// stays disabled). Owns the long-lived windows that are still alive when it
// is destroyed (those that were given the launcher as parent die with it)
// and the help window. It is the ToolServices that every tool window gets.
class AppWindows : public ToolServices {
public:
    using ToolFactory = std::function<std::unique_ptr<QDialog>(const ToolRequest&)>;
    using WindowFactory =
        std::function<std::unique_ptr<QWidget>(QWidget* launcher, const AppWindows& app)>;

    AppWindows();
    ~AppWindows() override;
    AppWindows(const AppWindows&) = delete;
    AppWindows& operator=(const AppWindows&) = delete;

    void setToolFactory(ToolWindow tool, ToolFactory factory);
    bool hasTool(ToolWindow tool) const;
    // A new window of the tool, or null when the tool has no factory.
    std::unique_ptr<QDialog> createTool(ToolWindow tool, const ToolRequest& request) const;

    void setLongLivedFactory(LongLivedWindow which, WindowFactory factory);
    // Creates, hidden, every long-lived window that has a factory, in the
    // order of LongLivedWindow. Start-up calls it once, after the launcher.
    void createLongLivedWindows(QWidget* launcher);
    // The window, or null when it was not made (or has been destroyed).
    QWidget* longLived(LongLivedWindow which) const override;
    // The browser is the Browse tool's window, made by its factory with the
    // request's place and run through dialogs().exec.
    bool canBrowse() const override { return hasTool(ToolWindow::Browse); }
    void browse(QWidget* parent, const BrowseRequest& request) const override;

    // The help file that every help request uses; the launcher sets it.
    void setHelpFile(const QString& path) { m_helpFile = path; }
    const QString& helpFile() const { return m_helpFile; }
    // Shows the help topic with the given context number in the program's
    // help window (not modal). A help file that cannot be read is reported
    // with an error box over `from`, and no window is shown; returns whether
    // the topic is shown.
    bool showHelp(int context, QWidget* from = nullptr) const override;
    // The help window once a topic has been shown, else null.
    HelpWindow* helpWindow() const { return m_help.get(); }

private:
    std::map<ToolWindow, ToolFactory> m_tools;
    std::map<LongLivedWindow, WindowFactory> m_longLivedFactories;
    std::map<LongLivedWindow, QPointer<QWidget>> m_longLived;
    QString m_helpFile;
    mutable std::unique_ptr<HelpWindow> m_help;
};

}  // namespace vantrel
