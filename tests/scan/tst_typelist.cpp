// The file-type list editor and the extension picker.
#include "scan/Extensions.h"
#include "scan/TypeLists.h"
#include "scan/ui/TfrmSelectExtension.h"
#include "scan/ui/TfrmStatList.h"
#include "scan/ui/TypeListBox.h"
#include "scan/ui/WildcardCombo.h"
#include "support/TestSupport.h"
#include "text/ui/Dialogs.h"

#include <QtTest>
#include <QtWidgets>

using namespace vantrel;

namespace {

QStringList patternsOf(const QStringList& lines) {
    QStringList out;
    for (const QString& l : lines)
        out.append(patternOfLine(l));
    return out;
}

void selectRows(TypeListBox* list, const QList<int>& rows) {
    list->clearSelection();
    for (int r : rows)
        list->item(r)->setSelected(true);
}

// A picker handler that types `text` (or, when empty, selects the list rows
// holding `patterns`) and presses OK.
std::function<int(QDialog&)> pickAndOk(const QString& text, const QStringList& patterns = {}) {
    return [=](QDialog& d) {
        auto& picker = static_cast<TfrmSelectExtension&>(d);
        if (patterns.isEmpty())
            picker.Edit1->setText(text);
        for (int i = 0; i < picker.lBox->count(); ++i) {
            if (patterns.contains(patternOfLine(picker.lBox->item(i)->text())))
                picker.lBox->item(i)->setSelected(true);
        }
        picker.BitBtn1->click();
        return picker.result();
    };
}

}  // namespace

class TestTypeList : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // OK always closes; blank text and all files add nothing.
    void pickerTypedText() {
        const QList<QStringList> rows = {{"qqq", "*.qqq", "QQQ File"},
                                         {"*.", "*.", "No extension"},
                                         {"*.*", "", ""},
                                         {"", "", ""}};
        for (const QStringList& row : rows) {
            TfrmSelectExtension picker;
            picker.show();
            picker.Edit1->clear();
            QTest::keyClicks(picker.Edit1, row[0]);
            QTest::keyClick(picker.Edit1, Qt::Key_Return);
            QCOMPARE(picker.result(), int(QDialog::Accepted));
            QCOMPARE((QStringList{row[0], picker.pick().pattern, picker.pick().description}), row);
            QCOMPARE(picker.pick().linesToAdd().size(), row[1].isEmpty() ? 0 : 1);
        }
    }

    void pickerListAndLookup() {
        const QStringList catalogue = registryExtensions(false);
        QVERIFY(catalogue.size() > 5);
        TfrmSelectExtension picker;
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));
        QCOMPARE(picker.Edit1->text(), catalogue.first());
        QCOMPARE(picker.lBox->lines(), registryExtensionLines());
        QCOMPARE(picker.cbWildCard->findText("*.*"), -1);
        picker.cbWildCard->setEditText("*.txt");
        Q_EMIT picker.cbWildCard->textActivated("*.txt");
        QCOMPARE(picker.Edit1->text(), QStringLiteral("*.txt"));

        // Several selected lines: OK takes them.
        selectRows(picker.lBox, {1, 4});
        picker.BitBtn1->click();
        QVERIFY(picker.pick().several);
        QCOMPARE(picker.pick().lines,
                 (QStringList{registryExtensionLines()[1], registryExtensionLines()[4]}));

        // A click fills the text box, a double click takes that line.
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));
        picker.lBox->clearSelection();
        const QRect rect = picker.lBox->visualItemRect(picker.lBox->item(2));
        QTest::mouseClick(picker.lBox->viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(picker.Edit1->text(), catalogue[2]);
        QTest::mouseDClick(picker.lBox->viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(picker.result(), int(QDialog::Accepted));
        QCOMPARE(picker.pick().pattern, catalogue[2]);
    }

    void editorAddsDeletesClearsAndStores() {
        test::TempTree tree;
        const IniFile ini(QFile::decodeName(tree.path("vantrel.ini")));
        ScriptedDialogs scripted;
        TfrmStatList editor;
        editor.setSettingsFile(ini);
        editor.setSection(kExcludeSection);
        editor.show();
        QCOMPARE(patternsOf(editor.PickList1->lines()), (QStringList{"*.dll", "*.doc", "*.exe"}));
        QCOMPARE(editor.lblCount->text(), QStringLiteral("3 available"));

        // The same pattern twice, all files and a cancelled picker add nothing;
        // several lines are each added once, in sorted places.
        for (const char* typed : {"qqq", ".qqq", "*.*"})
            scripted.dialogHandlers.push_back(pickAndOk(typed));
        for (int i = 0; i < 2; ++i)
            scripted.dialogHandlers.push_back(pickAndOk(QString(), {"*.txt", "*.bmp"}));
        for (int i = 0; i < 6; ++i)
            editor.btAdd->click();
        QCOMPARE(scripted.dialogTitles.first(), QStringLiteral("Select a file extension"));
        QCOMPARE(patternsOf(editor.PickList1->lines()),
                 (QStringList{"*.bmp", "*.dll", "*.doc", "*.exe", "*.qqq", "*.txt"}));
        QCOMPARE(editor.PickList1->lines()[4], QStringLiteral("*.qqq\tQQQ File"));
        QCOMPARE(editor.lblCount->text(), QStringLiteral("6 available"));

        // One line goes without a question; several only after "Yes".
        scripted.answers = {Answer::No, Answer::Yes};
        selectRows(editor.PickList1, {0});
        editor.btDelete->click();
        QVERIFY(scripted.questions.isEmpty());
        for (int i = 0; i < 2; ++i) {
            selectRows(editor.PickList1, {0, 2});
            editor.btDelete->click();
        }
        QCOMPARE(scripted.questions, QStringList(2, "Really delete 2 extensions?"));
        QCOMPARE(patternsOf(editor.PickList1->lines()), (QStringList{"*.doc", "*.qqq", "*.txt"}));
        QTest::keyClick(&editor, Qt::Key_Escape);  // closing stores the list
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QCOMPARE(ini.readString(kExcludeSection, "File2"), QStringLiteral("*.qqq"));
        QCOMPARE(ReadStatFilesFromDisk(ini, kExcludeSection), editor.PickList1->lines());

        scripted.answers = {Answer::No, Answer::Yes};
        editor.btClear->click();
        QCOMPARE(editor.PickList1->count(), 3);
        editor.btClear->click();
        QCOMPARE(scripted.questions.last(), QStringLiteral("Really clear out all extensions?"));
        QCOMPARE(editor.lblCount->text(), QStringLiteral("0 available"));
        editor.btClose->click();
        QCOMPARE(ini.readInteger(kExcludeSection, "Number", -1), 0);
        QCOMPARE(ReadStatFilesFromDisk(ini, kIncludeSection).size(), 3);  // the other list
    }

    // The settings file read-only while the editor closes: asked, and with
    // No the editor stays open with its list; with Yes it closes unsaved.
    void editorKeepsItsListWhenTheFileIsReadOnly() {
        test::TempTree tree;
        const IniFile ini(QFile::decodeName(tree.path("vantrel.ini")));
        IniFile file = ini;
        QVERIFY(WriteStatFilesToDisk({typeLine("*.bmp")}, file, kIncludeSection));
        tree.chmod("vantrel.ini", 0444);
        test::PermissionChecks checks;
        if (!checks.enforced())
            QSKIP("permission checks cannot be enforced here");
        ScriptedDialogs scripted;
        TfrmStatList editor;
        editor.setSettingsFile(ini);
        editor.show();
        scripted.answers = {Answer::Yes, Answer::No, Answer::Yes};
        editor.btClear->click();
        editor.btClose->click();
        QVERIFY(editor.isVisible());
        QCOMPARE(editor.PickList1->count(), 0);
        QCOMPARE(scripted.questions.last(), "Could not write the settings file " + ini.path() +
                                                "\n\nClose without saving the list?");
        editor.btClose->click();
        QVERIFY(!editor.isVisible() && !editor.saved());
        QCOMPARE(ReadStatFilesFromDisk(ini, kIncludeSection), QStringList{typeLine("*.bmp")});
    }
};

VANTREL_QTEST_MAIN(TestTypeList)
#include "tst_typelist.moc"
