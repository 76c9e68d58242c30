#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>

class QDialog;
class QPrinter;
class QWidget;

namespace vantrel {

// Every modal box, question and standard dialog of the program goes through
// one seam: the installed Dialogs object. The program installs the real one
// (QtDialogs); tests install ScriptedDialogs, which records what was shown and
// answers from a script, so that no test ever blocks on a modal dialog.
enum class BoxKind { Error, Warning, Information };
enum class Answer { Yes, No, Cancel };
enum class QuestionButtons { YesNo, YesNoCancel };

// The caption of a message box of the given kind: "Error", "Warning" or
// "Information".
QString boxCaption(BoxKind kind);

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A modal box with one OK button and the caption boxCaption(kind); returns
    // when it is closed. Without a parent the box is modal over the active window.
    virtual void message(BoxKind kind, const QString& text, QWidget* parent) = 0;
    // The same box with a details area that the user may open: `details`
    // holds the long part (a list of paths, one per line).
    virtual void detailedMessage(BoxKind kind, const QString& text, const QString& details,
                                 QWidget* parent) = 0;
    // A confirmation box; the caption is "Vantrel" unless given.
    virtual Answer question(const QString& text, QuestionButtons buttons, QWidget* parent,
                            const QString& caption = QString()) = 0;
    // Runs one of the program's own modal windows and returns its result code
    // (QDialog::Accepted / Rejected). Every modal window is shown through here.
    virtual int exec(QDialog& dialog) = 0;

    // Standard dialogs. Empty / nullopt / false means cancelled.
    virtual QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter) = 0;
    virtual QString existingFolder(QWidget* parent, const QString& caption,
                                   const QString& folder) = 0;
    // Print dialog; `selection` in: whether "selection" may be offered,
    // out: whether the user chose to print only the selection.
    virtual bool printDialog(QPrinter& printer, QWidget* parent, bool* selection = nullptr) = 0;
    virtual bool printSetupDialog(QPrinter& printer, QWidget* parent) = 0;
    virtual std::optional<QFont> fontDialog(const QFont& initial, QWidget* parent,
                                            bool fixedPitchOnly) = 0;
    virtual std::optional<QString> textInput(QWidget* parent, const QString& title,
                                             const QString& prompt, const QString& initial) = 0;
};

// The installed seam (QtDialogs until something else is installed). The
// caller keeps ownership of what it installs; install nullptr to go back to
// the default.
Dialogs& dialogs();
void installDialogs(Dialogs* seam);

// The three message boxes. alertBox beeps and shows an error box ("Error"),
// stopBox beeps and shows a warning box ("Warning"), infoBox shows an
// information box ("Information"); each has one OK button.
void alertBox(const QString& text, QWidget* parent = nullptr);
void stopBox(const QString& text, QWidget* parent = nullptr);
void infoBox(const QString& text, QWidget* parent = nullptr);
// A box of `kind` whose details area holds `details` (beeps for errors and
// warnings, as alertBox and stopBox do).
void detailsBox(BoxKind kind, const QString& text, const QString& details,
                QWidget* parent = nullptr);

// The real dialogs, built on QMessageBox, QFileDialog, QPrintDialog, ...
class QtDialogs : public Dialogs {
public:
    void message(BoxKind kind, const QString& text, QWidget* parent) override;
    void detailedMessage(BoxKind kind, const QString& text, const QString& details,
                         QWidget* parent) override;
    Answer question(const QString& text, QuestionButtons buttons, QWidget* parent,
                    const QString& caption) override;
    int exec(QDialog& dialog) override;
    QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter) override;
    QString existingFolder(QWidget* parent, const QString& caption, const QString& folder) override;
    bool printDialog(QPrinter& printer, QWidget* parent, bool* selection) override;
    bool printSetupDialog(QPrinter& printer, QWidget* parent) override;
    std::optional<QFont> fontDialog(const QFont& initial, QWidget* parent,
                                    bool fixedPitchOnly) override;
    std::optional<QString> textInput(QWidget* parent, const QString& title, const QString& prompt,
                                     const QString& initial) override;
};

// For tests: installs itself on construction and restores the previous seam
// on destruction. Records every message and question; questions are answered
// from `answers` (front first; Answer::No when the script is empty). Modal
// windows are handed to the next `dialogHandlers` entry, which may click
// buttons on the shown (non-modal) dialog and returns the result code; with
// no handler left the dialog is rejected. Standard dialogs answer from their
// queues (cancel when empty).
class ScriptedDialogs : public Dialogs {
public:
    struct Shown {
        BoxKind kind;
        QString text;
        QString caption = QString();  // the caption the real box would carry
        QString details = QString();  // the details area (detailedMessage)
    };

    ScriptedDialogs();
    ~ScriptedDialogs() override;
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    std::deque<Answer> answers;
    std::deque<std::function<int(QDialog&)>> dialogHandlers;
    std::deque<QString> fileNames;
    std::deque<QString> folders;
    std::deque<bool> printAnswers;    // true = confirmed
    std::deque<bool> printSelection;  // the "selection" choice of a confirmed print
    std::deque<std::optional<QFont>> fonts;
    std::deque<std::optional<QString>> texts;

    QList<Shown> messages;
    QStringList questions;
    QStringList dialogTitles;  // window titles of the modal windows run

    void message(BoxKind kind, const QString& text, QWidget* parent) override;
    void detailedMessage(BoxKind kind, const QString& text, const QString& details,
                         QWidget* parent) override;
    Answer question(const QString& text, QuestionButtons buttons, QWidget* parent,
                    const QString& caption) override;
    int exec(QDialog& dialog) override;
    QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter) override;
    QString existingFolder(QWidget* parent, const QString& caption, const QString& folder) override;
    bool printDialog(QPrinter& printer, QWidget* parent, bool* selection) override;
    bool printSetupDialog(QPrinter& printer, QWidget* parent) override;
    std::optional<QFont> fontDialog(const QFont& initial, QWidget* parent,
                                    bool fixedPitchOnly) override;
    std::optional<QString> textInput(QWidget* parent, const QString& title, const QString& prompt,
                                     const QString& initial) override;

    // The texts of the recorded messages, in order.
    QStringList messageTexts() const;

private:
    Dialogs* m_previous = nullptr;
};

}  // namespace vantrel
