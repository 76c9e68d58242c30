// Window titles as the window system shows them: every caption exactly its
// own text, nothing appended by the platform (" — Vantrel"), for the message
// boxes and questions of the dialogs seam and for the program's windows.
//
// CTest runs this under a virtual X server (xvfb-run) with the xcb platform
// and reads each window's _NET_WM_NAME, the title a window manager shows.
// Without an X server it runs offscreen, where no platform title exists, and
// reports that part as skipped.

#include "app/ui/AppWindows.h"
#include "app/ui/Application.h"
#include "app/ui/HelpWindow.h"
#include "app/ui/TfrmAbout.h"
#include "app/ui/TfrmMain.h"
#include "browse/ui/TfrmBrowse.h"
#include "browse/ui/TfrmDetails.h"
#include "browse/ui/TfrmView.h"
#include "dup/ui/TfrmDup.h"
#include "dup/ui/TfrmDupCompare.h"
#include "results/ui/TfrmDelDirectory.h"
#include "results/ui/TfrmReallyDelete.h"
#include "support/TestSupport.h"
#include "text/ui/Dialogs.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWindow>
#include <QtTest/QtTest>

#include <functional>
#include <memory>

#ifdef VANTREL_HAVE_XCB
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#endif

using namespace vantrel;
using namespace Qt::StringLiterals;

namespace {

bool onX11() {
    return QGuiApplication::platformName() == u"xcb"_s;
}

#ifdef VANTREL_HAVE_XCB
xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return a;
}

// The window's _NET_WM_NAME as the X server holds it. The request goes out
// on Qt's own connection, after Qt's own requests that set the title.
QString x11Title(QWidget* w) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11)
        return u"<no X11 connection>"_s;
    xcb_connection_t* c = x11->connection();
    const auto window = xcb_window_t(w->winId());
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(c, 0, window, atom(c, "_NET_WM_NAME"), atom(c, "UTF8_STRING"), 0, 1024);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr);
    if (!reply)
        return u"<no title>"_s;
    const QString title = QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(reply)),
                                            xcb_get_property_value_length(reply));
    std::free(reply);
    return title;
}
#endif

// The title the user sees: the X server's under xcb; elsewhere the window's
// own (no platform title exists offscreen).
QString shownTitle(QWidget* w) {
    w->winId();  // the platform window exists, with its title
#ifdef VANTREL_HAVE_XCB
    if (onX11())
        return x11Title(w);
#endif
    return w->windowHandle() ? w->windowHandle()->title() : w->windowTitle();
}

// Runs `open`, which shows a modal box and returns when it is closed, and
// the box's title as shown; the box is closed by its first button.
QString titleOfModalBox(const std::function<void()>& open) {
    QString seen;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll.stop();
        seen = shownTitle(box);
        box->buttons().first()->click();
    });
    poll.start();
    open();
    return seen;
}

}  // namespace

class TestWindowTitles : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        if (!onX11())
            QSKIP("no X server: the platform shows no window titles offscreen");
    }

    // alertBox, stopBox, infoBox and a question through the real seam.
    void messageBoxesAndQuestions() {
        QCOMPARE(titleOfModalBox([] { alertBox(u"Could not open file /x"_s); }), u"Error"_s);
        QCOMPARE(titleOfModalBox([] { stopBox(u"There are no files to delete"_s); }), u"Warning"_s);
        QCOMPARE(titleOfModalBox([] { infoBox(u"No files found."_s); }), u"Information"_s);
        QCOMPARE(titleOfModalBox([] {
                     (void)dialogs().question(u"Really delete?"_s, QuestionButtons::YesNo, nullptr);
                 }),
                 u"Vantrel"_s);
    }

    void windows() {
        const QString version = u"Vantrel Version 2.7 from Orlenda Corporation"_s;
        AppWindows appWindows;
        const std::pair<std::function<std::unique_ptr<QWidget>()>, QString> cases[] = {
            {[&] { return std::make_unique<TfrmMain>(appWindows); }, version},
            {[] { return std::make_unique<TfrmDup>(true, nullptr); },
             u"Find and delete duplicate files"_s},
            {[] { return std::make_unique<TfrmDup>(false, nullptr); },
             u"Find and delete file hogs"_s},
            {[] { return std::make_unique<TfrmDupCompare>(); }, u"Compare file pairs"_s},
            {[] { return std::make_unique<TfrmDetails>(); }, u"File Details"_s},
            {[] { return std::make_unique<TfrmView>(); }, u"View File : "_s},
            {[] { return std::make_unique<TfrmBrowse>(ToolRequest{}); },
             u"Browse through folders"_s},
            {[] { return std::make_unique<TfrmReallyDelete>(QList<QByteArray>{}, 0); },
             u"Delete/rename the following files:"_s},
            {[] { return std::make_unique<TfrmDelDirectory>("/tmp/x"); },
             u"Delete directory, sub-directories and all files"_s},
            {[] { return std::make_unique<HelpWindow>(); }, u"Vantrel Help"_s},
            {[] { return std::make_unique<TfrmAbout>(); }, u"About Vantrel"_s}};
        for (const auto& [make, caption] : cases) {
            std::unique_ptr<QWidget> w = make();
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w.get()));
            QCOMPARE(shownTitle(w.get()), caption);
        }
    }
};

int main(int argc, char** argv) {
    test::prepareTestEnvironment();
    // CTest asks for the X server that xvfb-run started for this test.
    if (qEnvironmentVariableIsSet("VANTREL_TEST_X11") && qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    Application app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestWindowTitles tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_windowtitles.moc"
