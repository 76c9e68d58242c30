#include "text/ui/Dialogs.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace vantrel {

namespace {

Dialogs* installed = nullptr;

QtDialogs& defaultDialogs() {
    static QtDialogs real;
    return real;
}

// The caption of a question that names none. A constant, not the
// application's display name: the program sets none, so that the window
// system adds nothing to any caption.
QString applicationTitle() {
    return QStringLiteral("Vantrel");
}

// Message boxes without an owner are shown over the window the user is in.
QWidget* ownerOr(QWidget* parent) {
    return parent ? parent : QApplication::activeWindow();
}

}  // namespace

QString boxCaption(BoxKind kind) {
    switch (kind) {
        case BoxKind::Error:
            return QStringLiteral("Error");
        case BoxKind::Warning:
            return QStringLiteral("Warning");
        case BoxKind::Information:
            break;
    }
    return QStringLiteral("Information");
}

Dialogs& dialogs() {
    return installed ? *installed : defaultDialogs();
}

void installDialogs(Dialogs* seam) {
    installed = seam;
}

void alertBox(const QString& text, QWidget* parent) {
    QApplication::beep();
    dialogs().message(BoxKind::Error, text, parent);
}

void stopBox(const QString& text, QWidget* parent) {
    QApplication::beep();
    dialogs().message(BoxKind::Warning, text, parent);
}

void infoBox(const QString& text, QWidget* parent) {
    dialogs().message(BoxKind::Information, text, parent);
}

void detailsBox(BoxKind kind, const QString& text, const QString& details, QWidget* parent) {
    if (kind != BoxKind::Information)
        QApplication::beep();
    dialogs().detailedMessage(kind, text, details, parent);
}

// ---- QtDialogs --------------------------------------------------------------

void QtDialogs::message(BoxKind kind, const QString& text, QWidget* parent) {
    QWidget* owner = ownerOr(parent);
    switch (kind) {
        case BoxKind::Error:
            QMessageBox::critical(owner, boxCaption(kind), text);
            break;
        case BoxKind::Warning:
            QMessageBox::warning(owner, boxCaption(kind), text);
            break;
        case BoxKind::Information:
            QMessageBox::information(owner, boxCaption(kind), text);
            break;
    }
}

void QtDialogs::detailedMessage(BoxKind kind, const QString& text, const QString& details,
                                QWidget* parent) {
    const QMessageBox::Icon icon = kind == BoxKind::Error     ? QMessageBox::Critical
                                   : kind == BoxKind::Warning ? QMessageBox::Warning
                                                              : QMessageBox::Information;
    QMessageBox box(icon, boxCaption(kind), text, QMessageBox::Ok, ownerOr(parent));
    box.setTextFormat(Qt::PlainText);
    box.setDetailedText(details);
    box.exec();
}

Answer QtDialogs::question(const QString& text, QuestionButtons buttons, QWidget* parent,
                           const QString& caption) {
    QMessageBox::StandardButtons set = QMessageBox::Yes | QMessageBox::No;
    if (buttons == QuestionButtons::YesNoCancel)
        set |= QMessageBox::Cancel;
    const auto answer =
        QMessageBox::question(ownerOr(parent), caption.isEmpty() ? applicationTitle() : caption,
                              text, set, QMessageBox::Yes);
    if (answer == QMessageBox::Yes)
        return Answer::Yes;
    if (answer == QMessageBox::No)
        return Answer::No;
    return Answer::Cancel;
}

int QtDialogs::exec(QDialog& dialog) {
    return dialog.exec();
}

QString QtDialogs::openFileName(QWidget* parent, const QString& caption, const QString& folder,
                                const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString QtDialogs::existingFolder(QWidget* parent, const QString& caption, const QString& folder) {
    return QFileDialog::getExistingDirectory(parent, caption, folder);
}

bool QtDialogs::printDialog(QPrinter& printer, QWidget* parent, bool* selection) {
    QPrintDialog dlg(&printer, parent);
    if (selection && *selection)
        dlg.setOption(QAbstractPrintDialog::PrintSelection, true);
    else
        dlg.setOption(QAbstractPrintDialog::PrintSelection, false);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    if (selection)
        *selection = dlg.printRange() == QAbstractPrintDialog::Selection;
    return true;
}

bool QtDialogs::printSetupDialog(QPrinter& printer, QWidget* parent) {
    QPageSetupDialog dlg(&printer, parent);
    return dlg.exec() == QDialog::Accepted;
}

std::optional<QFont> QtDialogs::fontDialog(const QFont& initial, QWidget* parent,
                                           bool fixedPitchOnly) {
    bool ok = false;
    const QFont font = QFontDialog::getFont(
        &ok, initial, parent, QString(),
        fixedPitchOnly ? QFontDialog::MonospacedFonts : QFontDialog::FontDialogOptions());
    if (!ok)
        return std::nullopt;
    return font;
}

std::optional<QString> QtDialogs::textInput(QWidget* parent, const QString& title,
                                            const QString& prompt, const QString& initial) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

// ---- ScriptedDialogs ----------------------------------------------------------

ScriptedDialogs::ScriptedDialogs() : m_previous(installed) {
    installDialogs(this);
}

ScriptedDialogs::~ScriptedDialogs() {
    installDialogs(m_previous);
}

void ScriptedDialogs::message(BoxKind kind, const QString& text, QWidget*) {
    messages.append(Shown{kind, text, boxCaption(kind)});
}

void ScriptedDialogs::detailedMessage(BoxKind kind, const QString& text, const QString& details,
                                      QWidget*) {
    messages.append(Shown{kind, text, boxCaption(kind), details});
}

Answer ScriptedDialogs::question(const QString& text, QuestionButtons, QWidget*, const QString&) {
    questions.append(text);
    if (answers.empty())
        return Answer::No;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
}

int ScriptedDialogs::exec(QDialog& dialog) {
    dialogTitles.append(dialog.windowTitle());
    if (dialogHandlers.empty())
        return QDialog::Rejected;
    auto handler = std::move(dialogHandlers.front());
    dialogHandlers.pop_front();
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    QCoreApplication::processEvents();
    const int result = handler(dialog);
    dialog.hide();
    return result;
}

QString ScriptedDialogs::openFileName(QWidget*, const QString&, const QString&, const QString&) {
    if (fileNames.empty())
        return QString();
    QString f = fileNames.front();
    fileNames.pop_front();
    return f;
}

QString ScriptedDialogs::existingFolder(QWidget*, const QString&, const QString&) {
    if (folders.empty())
        return QString();
    QString f = folders.front();
    folders.pop_front();
    return f;
}

bool ScriptedDialogs::printDialog(QPrinter&, QWidget*, bool* selection) {
    if (printAnswers.empty())
        return false;
    const bool ok = printAnswers.front();
    printAnswers.pop_front();
    if (selection) {
        bool chosen = false;
        if (!printSelection.empty()) {
            chosen = printSelection.front();
            printSelection.pop_front();
        }
        *selection = ok && *selection && chosen;
    }
    return ok;
}

bool ScriptedDialogs::printSetupDialog(QPrinter&, QWidget*) {
    if (printAnswers.empty())
        return false;
    const bool ok = printAnswers.front();
    printAnswers.pop_front();
    return ok;
}

std::optional<QFont> ScriptedDialogs::fontDialog(const QFont&, QWidget*, bool) {
    if (fonts.empty())
        return std::nullopt;
    auto f = fonts.front();
    fonts.pop_front();
    return f;
}

std::optional<QString> ScriptedDialogs::textInput(QWidget*, const QString&, const QString&,
                                                  const QString&) {
    if (texts.empty())
        return std::nullopt;
    auto t = texts.front();
    texts.pop_front();
    return t;
}

QStringList ScriptedDialogs::messageTexts() const {
    QStringList out;
    for (const Shown& s : messages)
        out.append(s.text);
    return out;
}

}  // namespace vantrel
