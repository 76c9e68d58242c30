// The file-type list editor and the extension picker.
#include "scan/Extensions.h"
#include "scan/TypeLists.h"
#include "scan/ui/TfrmSelectExtension.h"
#include "scan/ui/TfrmStatList.h"
#include "scan/ui/TypeListBox.h"
#include "scan/ui/WildcardCombo.h"
#include "support/TestSupport.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest/QtTest>

#include <functional>
#include <memory>

using namespace vantrel;

namespace {

// A picker handler that types `text` into the extension box and presses OK.
std::function<int(QDialog&)> typeAndOk(const QString& text) {
    return [text](QDialog& d) {
        auto& picker = static_cast<TfrmSelectExtension&>(d);
        picker.Edit1->setText(text);
        picker.BitBtn1->click();
        return picker.result();
    };
}

// A picker handler that selects the list rows holding `patterns` and presses OK.
std::function<int(QDialog&)> selectAndOk(const QStringList& patterns) {
    return [patterns](QDialog& d) {
        auto& picker = static_cast<TfrmSelectExtension&>(d);
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

private:
    std::unique_ptr<test::TempTree> m_tree;

    IniFile ini() const { return IniFile(QFile::decodeName(m_tree->path("vantrel.ini"))); }

    std::unique_ptr<TfrmStatList> openEditor(const QString& section) {
        auto editor = std::make_unique<TfrmStatList>();
        editor->setSettingsFile(ini());
        editor->setSection(section);
        editor->show();
        return editor;
    }

    static QStringList patternsOf(const QStringList& lines) {
        QStringList out;
        for (const QString& l : lines)
            out.append(patternOfLine(l));
        return out;
    }

    static void selectRows(TypeListBox* list, const QList<int>& rows) {
        list->clearSelection();
        for (int r : rows)
            list->item(r)->setSelected(true);
    }

private Q_SLOTS:
    void init() { m_tree = std::make_unique<test::TempTree>(); }
    void cleanup() { m_tree.reset(); }

    // ---- Picker ----

    void pickerStartsWithTheCatalogue() {
        TfrmSelectExtension picker;
        picker.show();
        const QStringList catalogue = registryExtensions(false);
        QVERIFY(!catalogue.isEmpty());
        QCOMPARE(picker.windowTitle(), QStringLiteral("Select a file extension"));
        QCOMPARE(picker.Edit1->text(), catalogue.first());
        QCOMPARE(picker.Edit1->maxLength(), 6);
        QCOMPARE(picker.lBox->lines(), registryExtensionLines());
        QCOMPARE(picker.cbWildCard->count(), catalogue.size());
        QCOMPARE(picker.cbWildCard->findText("*.*"), -1);
        QCOMPARE(picker.cbWildCard->wildcard(), QStringLiteral("*.*"));
        QCOMPARE(picker.lblWild->text(), QStringLiteral("All files"));
        QVERIFY(picker.BitBtn1->isDefault());
    }

    void pickerTypedText_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("pattern");
        QTest::newRow("bare") << "qqq"
                              << "*.qqq";
        QTest::newRow("dot") << ".qqq"
                             << "*.qqq";
        QTest::newRow("star dot") << "*.qqq"
                                  << "*.qqq";
        QTest::newRow("all files") << "*.*"
                                   << "";
        QTest::newRow("dot star") << ".*"
                                  << "";
        QTest::newRow("star") << "*"
                              << "";
        QTest::newRow("star elsewhere") << "ab*"
                                        << "ab*";
        QTest::newRow("cleared") << ""
                                 << "";
    }

    void pickerTypedText() {
        QFETCH(QString, typed);
        QFETCH(QString, pattern);
        TfrmSelectExtension picker;
        picker.show();
        picker.Edit1->clear();
        QTest::keyClicks(picker.Edit1, typed);
        picker.BitBtn1->click();
        QCOMPARE(picker.result(), int(QDialog::Accepted));  // OK always closes
        QVERIFY(!picker.pick().several);
        QCOMPARE(picker.pick().pattern, pattern);
        QCOMPARE(picker.pick().description,
                 pattern.isEmpty() ? QString() : patternDescription(pattern));
    }

    void pickerListClickFillsTheTextBox() {
        TfrmSelectExtension picker;
        picker.show();
        const QStringList catalogue = registryExtensions(false);
        QVERIFY(catalogue.size() > 5);
        const QRect rect = picker.lBox->visualItemRect(picker.lBox->item(3));
        QTest::mouseClick(picker.lBox->viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(picker.Edit1->text(), catalogue[3]);
    }

    void pickerSeveralSelectedLines() {
        TfrmSelectExtension picker;
        picker.show();
        selectRows(picker.lBox, {1, 4});
        picker.BitBtn1->click();
        QCOMPARE(picker.result(), int(QDialog::Accepted));
        QVERIFY(picker.pick().several);
        QCOMPARE(picker.pick().lines,
                 (QStringList{registryExtensionLines()[1], registryExtensionLines()[4]}));
    }

    void pickerDoubleClick() {
        TfrmSelectExtension picker;
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));
        const QRect rect = picker.lBox->visualItemRect(picker.lBox->item(2));
        // A real double click starts with a press on the line.
        QTest::mouseClick(picker.lBox->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(picker.lBox->viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(picker.result(), int(QDialog::Accepted));
        QCOMPARE(picker.pick().pattern, registryExtensions(false)[2]);

        // With several lines selected a double click does not close.
        TfrmSelectExtension second;
        second.show();
        selectRows(second.lBox, {1, 2});
        second.lBoxDblClick();
        QVERIFY(second.isVisible());
        second.Edit1->setText("*.*");
        second.lBox->clearSelection();
        second.lBoxDblClick();
        QVERIFY(second.isVisible());
    }

    void pickerLookupDescribesAndFillsTheTextBox() {
        TfrmSelectExtension picker;
        picker.show();
        picker.cbWildCard->setEditText("*.zq");
        QCOMPARE(picker.lblWild->text(), QStringLiteral("ZQ File"));
        const int txt = picker.cbWildCard->findText("*.txt");
        QVERIFY(txt >= 0);
        picker.cbWildCard->setCurrentIndex(txt);
        Q_EMIT picker.cbWildCard->textActivated("*.txt");
        QCOMPARE(picker.lblWild->text(), fileTypeDescription(".txt"));
        QCOMPARE(picker.Edit1->text(), QStringLiteral("*.txt"));
    }

    void pickerCancel() {
        TfrmSelectExtension picker;
        picker.show();
        picker.BitBtn2->click();
        QCOMPARE(picker.result(), int(QDialog::Rejected));
        QVERIFY(picker.pick().linesToAdd().isEmpty());
    }

    // ---- Editor ----

    void editorShowsTheDefaultsSorted() {
        auto editor = openEditor(kIncludeSection);
        QCOMPARE(editor->windowTitle(), QStringLiteral("File types"));
        QCOMPARE(patternsOf(editor->PickList1->lines()), (QStringList{"*.dll", "*.doc", "*.exe"}));
        QCOMPARE(editor->lblCount->text(), QStringLiteral("3 available"));
    }

    void editorAddsThroughThePicker() {
        ScriptedDialogs scripted;
        auto editor = openEditor(kIncludeSection);
        scripted.dialogHandlers.push_back(typeAndOk("qqq"));
        editor->btAdd->click();
        QCOMPARE(scripted.dialogTitles, QStringList{"Select a file extension"});
        QCOMPARE(editor->PickList1->lines().last(), QStringLiteral("*.qqq\tQQQ File"));
        QCOMPARE(editor->lblCount->text(), QStringLiteral("4 available"));

        // The same again, all files, and a cancelled picker add nothing.
        scripted.dialogHandlers.push_back(typeAndOk(".qqq"));
        editor->btAdd->click();
        scripted.dialogHandlers.push_back(typeAndOk("*.*"));
        editor->btAdd->click();
        editor->btAdd->click();  // no handler: the picker is cancelled
        QCOMPARE(editor->PickList1->count(), 4);

        // Several lines: each is added once, in sorted places.
        scripted.dialogHandlers.push_back(selectAndOk({"*.txt", "*.bmp"}));
        editor->btAdd->click();
        scripted.dialogHandlers.push_back(selectAndOk({"*.txt", "*.bmp"}));
        editor->btAdd->click();
        QCOMPARE(patternsOf(editor->PickList1->lines()),
                 (QStringList{"*.bmp", "*.dll", "*.doc", "*.exe", "*.qqq", "*.txt"}));
        QCOMPARE(editor->lblCount->text(), QStringLiteral("6 available"));
    }

    void editorDelete_data() {
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<int>("answer");  // -1: no question expected
        QTest::addColumn<QStringList>("left");
        QTest::newRow("none") << QList<int>{} << -1 << QStringList{"*.dll", "*.doc", "*.exe"};
        QTest::newRow("one") << QList<int>{1} << -1 << QStringList{"*.dll", "*.exe"};
        QTest::newRow("two yes") << QList<int>{0, 2} << int(Answer::Yes) << QStringList{"*.doc"};
        QTest::newRow("two no") << QList<int>{0, 2} << int(Answer::No)
                                << QStringList{"*.dll", "*.doc", "*.exe"};
        QTest::newRow("three cancel")
            << QList<int>{0, 1, 2} << int(Answer::Cancel) << QStringList{"*.dll", "*.doc", "*.exe"};
    }

    void editorDelete() {
        QFETCH(QList<int>, rows);
        QFETCH(int, answer);
        QFETCH(QStringList, left);
        ScriptedDialogs scripted;
        if (answer >= 0)
            scripted.answers.push_back(Answer(answer));
        auto editor = openEditor(kExcludeSection);
        selectRows(editor->PickList1, rows);
        editor->btDelete->click();
        if (answer >= 0) {
            QCOMPARE(scripted.questions,
                     QStringList{QStringLiteral("Really delete %1 extensions?").arg(rows.size())});
        } else {
            QVERIFY(scripted.questions.isEmpty());
        }
        QCOMPARE(patternsOf(editor->PickList1->lines()), left);
        QCOMPARE(editor->lblCount->text(), QStringLiteral("%1 available").arg(left.size()));
    }

    void editorClearAndCloseStoresAnEmptyList() {
        ScriptedDialogs scripted;
        scripted.answers = {Answer::No, Answer::Yes};
        auto editor = openEditor(kIncludeSection);
        editor->btClear->click();
        QCOMPARE(editor->PickList1->count(), 3);
        editor->btClear->click();
        QCOMPARE(editor->PickList1->count(), 0);
        QCOMPARE(scripted.questions, QStringList(2, "Really clear out all extensions?"));
        QCOMPARE(editor->lblCount->text(), QStringLiteral("0 available"));
        editor->btClose->click();
        QCOMPARE(editor->result(), int(QDialog::Accepted));
        QCOMPARE(ini().readInteger(kIncludeSection, "Number", -1), 0);
        QVERIFY(ReadStatFilesFromDisk(ini(), kIncludeSection).isEmpty());
        // The other list is untouched.
        QCOMPARE(ReadStatFilesFromDisk(ini(), kExcludeSection).size(), 3);

        auto again = openEditor(kIncludeSection);
        QCOMPARE(again->PickList1->count(), 0);
    }

    void editorEscapeSavesToo() {
        ScriptedDialogs scripted;
        scripted.dialogHandlers.push_back(typeAndOk("zip"));
        auto editor = openEditor(kExcludeSection);
        selectRows(editor->PickList1, {1});
        editor->btDelete->click();
        editor->btAdd->click();
        QTest::keyClick(editor.get(), Qt::Key_Escape);
        QCOMPARE(editor->result(), int(QDialog::Accepted));
        QVERIFY(!editor->isVisible());
        QCOMPARE(ini().readInteger(kExcludeSection, "Number", -1), 3);
        QCOMPARE(ini().readString(kExcludeSection, "File1"), QStringLiteral("*.dll"));
        QCOMPARE(ini().readString(kExcludeSection, "File2"), QStringLiteral("*.exe"));
        QCOMPARE(ini().readString(kExcludeSection, "File3"), QStringLiteral("*.zip"));
    }

    void editorStoresTwoEntriesInSortedOrder() {
        IniFile file = ini();
        QVERIFY(
            WriteStatFilesToDisk({typeLine("*.txt"), typeLine("*.bmp")}, file, kIncludeSection));
        auto editor = openEditor(kIncludeSection);
        QCOMPARE(patternsOf(editor->PickList1->lines()), (QStringList{"*.bmp", "*.txt"}));
        editor->btClose->click();
        QCOMPARE(ini().readInteger(kIncludeSection, "Number", -1), 2);
        QCOMPARE(ini().readString(kIncludeSection, "File1"), QStringLiteral("*.bmp"));
        QCOMPARE(ini().readString(kIncludeSection, "File2"), QStringLiteral("*.txt"));
    }

    void render() {
        auto editor = openEditor(kIncludeSection);
        QVERIFY(QTest::qWaitForWindowExposed(editor.get()));
        QVERIFY(editor->grab().save(QDir::temp().filePath("selection-typelist.png")));
        TfrmSelectExtension picker;
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));
        selectRows(picker.lBox, {2, 3});
        QVERIFY(picker.grab().save(QDir::temp().filePath("selection-picker.png")));
    }
};

VANTREL_QTEST_MAIN(TestTypeList)
#include "tst_typelist.moc"
