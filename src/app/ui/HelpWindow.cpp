#include "app/ui/HelpWindow.h"

#include "app/AppPaths.h"
#include "settings/ui/WinPlace.h"
#include "text/ui/Dialogs.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace vantrel {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Vantrel Help"));
    resize(680, 600);

    m_contents = new QPushButton(QStringLiteral("&Contents"), this);
    m_contents->setObjectName(QStringLiteral("btContents"));
    m_back = new QPushButton(QStringLiteral("&Back"), this);
    m_back->setObjectName(QStringLiteral("btBack"));
    m_back->setEnabled(false);
    m_forward = new QPushButton(QStringLiteral("&Forward"), this);
    m_forward->setObjectName(QStringLiteral("btForward"));
    m_forward->setEnabled(false);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("btClose"));

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("browser"));
    m_browser->setOpenExternalLinks(true);
    m_browser->document()->setDocumentMargin(12);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_contents);
    buttons->addWidget(m_back);
    buttons->addWidget(m_forward);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_browser, 1);

    connect(m_contents, &QPushButton::clicked, this, &HelpWindow::showContents);
    connect(m_back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QWidget::setEnabled);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    auto* back = new QShortcut(QKeySequence::Back, this);
    connect(back, &QShortcut::activated, m_browser, &QTextBrowser::backward);
    auto* forward = new QShortcut(QKeySequence::Forward, this);
    connect(forward, &QShortcut::activated, m_browser, &QTextBrowser::forward);
}

bool HelpWindow::showTopic(const QString& helpFile, int context, QWidget* from) {
    const QFileInfo info(helpFile);
    if (helpFile.isEmpty() || !info.isFile() || !info.isReadable()) {
        alertBox(QStringLiteral("Cannot open the help file ") + helpFile, from);
        return false;
    }
    QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
    url.setFragment(helpTopicAnchor(context));
    if (!m_placed) {
        m_placed = true;
        centreOnScreen(*this);
    }
    // Shown first, so that the topic is scrolled to in the laid-out page.
    show();
    raise();
    activateWindow();
    if (m_file != helpFile)
        m_browser->clearHistory();
    // The same file with another fragment only scrolls; another file loads.
    m_browser->setSource(url, QTextDocument::HtmlResource);
    // The contents open at the very top of the page, margin included.
    if (context == 1)
        m_browser->verticalScrollBar()->setValue(0);
    m_file = helpFile;
    m_topic = context;
    return true;
}

void HelpWindow::showContents() {
    if (!m_file.isEmpty())
        showTopic(m_file, 1, this);
}

}  // namespace vantrel
