// The temporary-file pattern editor: first start, Add, Delete, Clear all and
// Defaults, saving on every way out, a read-only settings file, patterns
// that match no file and a list of 200 lines.
#include "clean/TempFileList.h"
#include "clean/ui/TfrmTempFiles.h"
#include "scan/TypeLists.h"
#include "scan/ui/TfrmSelectExtension.h"
#include "scan/ui/TypeListBox.h"
#include "support/TestSupport.h"
#include "text/ui/Dialogs.h"

#include <QtTest>
#include <QtWidgets>

#include <memory>

using namespace vantrel;

namespace {

QStringList patternsOf(const QStringList& lines) {
    QStringList out;
    for (const QString& l : lines)
        out.append(patternOfLine(l));
    return out;
}

// A picker handler that types `text` and presses OK.
std::function<int(QDialog&)> typeAndOk(const QString& text) {
    return [=](QDialog& d) {
        auto& picker = static_cast<TfrmSelectExtension&>(d);
        picker.Edit1->setText(text);
        picker.BitBtn1->click();
        return picker.result();
    };
}

}  // namespace

class TestTempFiles : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        m_tree = std::make_unique<test::TempTree>();
        m_dialogs = std::make_unique<ScriptedDialogs>();
    }
    void cleanup() {
        m_dialogs.reset();
        m_tree.reset();
    }

    void firstStartShowsTheLoadDefaultsAndClosingStoresThem() {
        auto editor = open();
        QCOMPARE(editor->windowTitle(), QStringLiteral("Temporary file extensions"));
        QCOMPARE(editor->lblHeading->text(), QStringLiteral("Temporary file extensions"));
        QCOMPARE(patternsOf(editor->PickList1->lines()),
                 (QStringList{"*.$$$", "*.bak", "*.fts", "*.tmp"}));
        for (const QString& line : editor->PickList1->lines())
            QVERIFY2(!line.section('\t', 1).isEmpty(), qPrintable(line));
        QVERIFY(
            editor->lblNote1->text().startsWith("Some common temporary file extensions are "
                                                ".TMP, .TEMP, .$$$, .OLD and .BAK.  It is"));
        QVERIFY(editor->lblNote2->text().startsWith(".FTS files may deleted if you're really"));
        QVERIFY(editor->lblSkipped->isHidden());
        QTest::keyClick(editor.get(), Qt::Key_Escape);
        QCOMPARE(editor->result(), int(QDialog::Accepted));
        QVERIFY(editor->saved());
        QCOMPARE(ini().readInteger(kTempFilesSection, "Number", -1), 4);
        QCOMPARE(readPatternList(ini(), kTempFilesSection, {}),
                 (QStringList{"*.$$$", "*.bak", "*.fts", "*.tmp"}));
    }

    void addDeleteClearAndDefaults() {
        store({"*.tmp", "*.zip"});
        auto editor = open();
        // The six defaults that are missing join; nothing goes.
        editor->btDefaults->click();
        QCOMPARE(patternsOf(editor->PickList1->lines()),
                 (QStringList{"*.$$$", "*.bak", "*.fts", "*.old", "*.temp", "*.tmp", "*.zip"}));
        editor->btDefaults->click();
        QCOMPARE(editor->PickList1->count(), 7);

        // "*.tmp" again through the picker changes nothing; "qqq" comes in.
        m_dialogs->dialogHandlers = {typeAndOk("*.tmp"), typeAndOk("qqq")};
        for (int i = 0; i < 2; ++i)
            editor->btAdd->click();
        QCOMPARE(m_dialogs->dialogTitles.first(), QStringLiteral("Select a file extension"));
        QCOMPARE(editor->PickList1->count(), 8);
        QVERIFY(editor->PickList1->lines().contains("*.qqq\tQQQ File"));

        // Two selected lines: only "Yes" removes them.
        m_dialogs->answers = {Answer::No, Answer::Cancel, Answer::Yes};
        for (int i = 0; i < 3; ++i) {
            editor->PickList1->clearSelection();
            editor->PickList1->item(0)->setSelected(true);
            editor->PickList1->item(1)->setSelected(true);
            editor->btDelete->click();
            QCOMPARE(editor->PickList1->count(), i < 2 ? 8 : 6);
        }
        QCOMPARE(m_dialogs->questions, QStringList(3, "Really delete 2 extensions?"));

        m_dialogs->answers = {Answer::Yes};
        editor->btClear->click();
        QCOMPARE(m_dialogs->questions.last(), QStringLiteral("Really clear out all extensions?"));
        QCOMPARE(editor->PickList1->count(), 0);
        editor->btClose->click();
        QCOMPARE(ini().readInteger(kTempFilesSection, "Number", -1), 0);
        // The next reading shows the empty list, not the defaults.
        auto again = open();
        QCOMPARE(again->PickList1->count(), 0);
    }

    // "*" would match every name without a point: the search leaves it out,
    // and the editor says so while the list holds it.
    void patternsThatMatchNothingAreNamed() {
        store({"*", "*.tmp", "*.tar.gz"});
        auto editor = open();
        QVERIFY(editor->lblSkipped->isVisible());
        QCOMPARE(editor->lblSkipped->text(),
                 QStringLiteral(
                     "The search leaves out \"*\", \"*.tar.gz\": a pattern must be * followed "
                     "by one extension, such as *.tmp."));
        m_dialogs->answers = {Answer::Yes};
        editor->PickList1->clearSelection();
        editor->PickList1->item(0)->setSelected(true);  // "*"
        editor->PickList1->item(1)->setSelected(true);  // "*.tar.gz"
        editor->btDelete->click();
        QVERIFY(editor->lblSkipped->isHidden());
    }

    // A read-only settings file while the editor closes: the user is asked,
    // and nothing is lost unless the answer is Yes.
    void aReadOnlySettingsFileLosesNothing() {
        store({"*.tmp"});
        auto editor = open();
        editor->btDefaults->click();
        const QStringList edited = editor->PickList1->lines();
        m_tree->chmod("vantrel.ini", 0444);
        test::PermissionChecks checks;
        if (!checks.enforced())
            QSKIP("permission checks cannot be enforced here");

        m_dialogs->answers = {Answer::No};
        editor->btClose->click();
        QTest::keyClick(editor.get(), Qt::Key_Escape);  // answered No as well (empty script)
        QCOMPARE(m_dialogs->questions,
                 QStringList(2, "Could not write the settings file " + ini().path() +
                                    "\n\nClose without saving the list?"));
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->PickList1->lines(), edited);
        QCOMPARE(readPatternList(ini(), kTempFilesSection, {}), QStringList{"*.tmp"});

        // Writable again: Close saves.
        m_tree->chmod("vantrel.ini", 0644);
        editor->btClose->click();
        QVERIFY(!editor->isVisible() && editor->saved());
        QCOMPARE(ini().readInteger(kTempFilesSection, "Number", -1), 6);

        // Or the user lets the changes go.
        auto other = open();
        other->btClear->click();  // unanswered: No
        m_dialogs->answers = {Answer::Yes, Answer::Yes};
        other->btClear->click();
        m_tree->chmod("vantrel.ini", 0444);
        other->btClose->click();
        QCOMPARE(other->result(), int(QDialog::Accepted));
        QVERIFY(!other->isVisible() && !other->saved());
        QCOMPARE(ini().readInteger(kTempFilesSection, "Number", -1), 6);
    }

    void aListOf200Lines() {
        QStringList many;
        for (int i = 0; i < 200; ++i)
            many.append(QStringLiteral("*.x%1").arg(i, 3, 10, QLatin1Char('0')));
        store(many);
        auto editor = open();
        QCOMPARE(editor->PickList1->count(), 200);
        editor->btDefaults->click();
        editor->btClose->click();
        const QStringList stored = readPatternList(ini(), kTempFilesSection, {});
        QCOMPARE(stored.size(), 206);
        QCOMPARE(stored.mid(6), many);  // sorted: "*.$$$" ... "*.tmp" come first
    }

private:
    IniFile ini() const { return IniFile(QFile::decodeName(m_tree->path("vantrel.ini"))); }

    void store(const QStringList& patterns) {
        IniFile file = ini();
        QVERIFY(writePatternList(file, kTempFilesSection, patterns));
    }

    std::unique_ptr<TfrmTempFiles> open() {
        auto editor = std::make_unique<TfrmTempFiles>();
        editor->setSettingsFile(ini());
        editor->show();
        return editor;
    }

    std::unique_ptr<test::TempTree> m_tree;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
};

VANTREL_QTEST_MAIN(TestTempFiles)
#include "tst_tempfiles.moc"
