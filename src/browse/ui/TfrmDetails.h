#pragma once

#include <QByteArray>
#include <QDialog>
#include <QStringList>

#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QFrame;

namespace vantrel {

// "File Details": the name, type, size, cluster use and real allocation on
// disk, the three dates
// with their relative age, the attributes, the icon and the version strings
// of one file, with buttons to run, view or print it.
//
// Use:
//     TfrmDetails details(this);
//     details.setFileName(path);   // exact bytes of the path
//     dialogs().exec(details);
//
// The labels are filled when the window is shown. A file that is gone by
// then leaves every value label blank and nothing else happens. Without
// version strings the memo is hidden and the window shrinks to the buttons.
class TfrmDetails : public QDialog {
    Q_OBJECT
public:
    // Runs a file with its associated application; false when none could
    // be started. Replaceable for tests.
    using Launcher = std::function<bool(const QByteArray& path)>;

    explicit TfrmDetails(QWidget* parent = nullptr);
    ~TfrmDetails() override;

    void setFileName(const QByteArray& path) { m_fileName = path; }
    [[nodiscard]] QByteArray fileName() const { return m_fileName; }
    void setLauncher(Launcher launcher) { m_launcher = std::move(launcher); }

    // The lines of the last printout (the hidden tab list), for tests.
    [[nodiscard]] const QStringList& printLines() const { return lb; }

    // Handlers, named after control and event.
    void FormShow();
    void btLaunchClick();
    void btViewClick();
    void btPrintClick();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildForm();
    void hideMemo();
    void fitFileName();
    void alignMemoTabs();

    QByteArray m_fileName;
    Launcher m_launcher;
    QStringList lb;

    QLabel* Image1 = nullptr;
    QLabel* lblFileName = nullptr;
    QLabel* lblFileType = nullptr;
    QLabel* lblSizeBytes = nullptr;
    QLabel* lblSizeK = nullptr;
    QLabel* lblDiskUse = nullptr;  // the waste and the real allocation, under the cluster use
    QLabel* lblCreate = nullptr;
    QLabel* lblModify = nullptr;
    QLabel* lblAccess = nullptr;
    QFrame* Panel4 = nullptr;
    QLabel* lblAttributes = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* btClose = nullptr;
    QPushButton* btPrint = nullptr;
    QPushButton* btView = nullptr;
    QPushButton* btLaunch = nullptr;
};

}  // namespace vantrel
