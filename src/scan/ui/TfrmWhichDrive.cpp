#include "scan/ui/TfrmWhichDrive.h"

#include "scan/TypeLists.h"
#include "scan/ui/DriveCheckList.h"
#include "scan/ui/TfrmStatList.h"
#include "scan/ui/TypeListBox.h"
#include "settings/ui/WinPlace.h"
#include "text/ui/Dialogs.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace vantrel {

namespace {

QLabel* pageTitle(const QString& text, QWidget* parent) {
    auto* title = new QLabel(text, parent);
    QFont font = title->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.25);
    title->setFont(font);
    return title;
}

QPushButton* button(const QString& text, const QString& name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

}  // namespace

TfrmWhichDrive::TfrmWhichDrive(QWidget* parent) : QDialog(parent), m_settings(vantrelIni()) {
    setObjectName(QStringLiteral("frmWhichDrive"));
    setWindowTitle(QStringLiteral("Which drives and file types?"));
    m_pages = new QStackedWidget(this);
    const int em = fontMetrics().horizontalAdvance(QLatin1Char('x'));

    // Page 1: drives.
    auto* page1 = new QWidget(m_pages);
    pckDrive = new DriveCheckList(page1);
    pckDrive->setObjectName(QStringLiteral("pckDrive"));
    pckDrive->setSelectAllOffered(true);
    pckDrive->setToolTip(QStringLiteral("Right click to select/deselect all"));
    pckDrive->setMinimumSize(em * 46, fontMetrics().height() * 12);
    btNext1 = button(QStringLiteral("&Next >>"), QStringLiteral("btNext1"), page1);
    btCancel = button(QStringLiteral("Cancel"), QStringLiteral("btCancel"), page1);
    {
        auto* buttons = new QHBoxLayout;
        buttons->addStretch(1);
        buttons->addWidget(btNext1);
        buttons->addWidget(btCancel);
        auto* layout = new QVBoxLayout(page1);
        layout->addWidget(pageTitle(QStringLiteral("Which drives?"), page1));
        layout->addWidget(pckDrive, 1);
        layout->addLayout(buttons);
    }

    // Page 2: which files.
    auto* page2 = new QWidget(m_pages);
    rbAll = new QRadioButton(QStringLiteral("&All files"), page2);
    rbAll->setObjectName(QStringLiteral("rbAll"));
    rbAll->setChecked(true);
    rbInclude = new QRadioButton(QStringLiteral("&Selected file types only"), page2);
    rbInclude->setObjectName(QStringLiteral("rbInclude"));
    rbExclude = new QRadioButton(QStringLiteral("All files &except selected file types"), page2);
    rbExclude->setObjectName(QStringLiteral("rbExclude"));
    btPrev2 = button(QStringLiteral("<< &Previous"), QStringLiteral("btPrev2"), page2);
    btNext2 = button(QStringLiteral("&Next >>"), QStringLiteral("btNext2"), page2);
    {
        auto* buttons = new QHBoxLayout;
        buttons->addStretch(1);
        buttons->addWidget(btPrev2);
        buttons->addWidget(btNext2);
        auto* layout = new QVBoxLayout(page2);
        layout->addWidget(pageTitle(QStringLiteral("Which file types?"), page2));
        layout->addSpacing(em);
        layout->addWidget(rbAll);
        layout->addWidget(rbInclude);
        layout->addWidget(rbExclude);
        layout->addStretch(1);
        layout->addLayout(buttons);
    }

    // Page 3: which types.
    auto* page3 = new QWidget(m_pages);
    lblSelect = pageTitle(QStringLiteral("Selected file types only"), page3);
    lblSelect->setObjectName(QStringLiteral("lblSelect"));
    lblOf = new QLabel(QStringLiteral("0/0"), page3);
    lblOf->setObjectName(QStringLiteral("lblOf"));
    lblOf->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    PickList1 = new TypeListBox(page3);
    PickList1->setObjectName(QStringLiteral("PickList1"));
    PickList1->setTickable(true);
    PickList1->setSelectAllOffered(true);
    PickList1->setToolTip(QStringLiteral("Right click to select/deselect all"));
    btAddDelete = button(QStringLiteral("&Add/Delete"), QStringLiteral("btAddDelete"), page3);
    btAddDelete->setToolTip(QStringLiteral("Add, delete file types"));
    btPrev3 = button(QStringLiteral("<< &Previous"), QStringLiteral("btPrev3"), page3);
    btOK = button(QStringLiteral("OK"), QStringLiteral("btOK"), page3);
    btOK->setEnabled(false);
    {
        auto* head = new QHBoxLayout;
        head->addWidget(lblSelect, 1);
        head->addWidget(lblOf);
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(btAddDelete);
        buttons->addStretch(1);
        buttons->addWidget(btPrev3);
        buttons->addWidget(btOK);
        auto* layout = new QVBoxLayout(page3);
        layout->addLayout(head);
        layout->addWidget(PickList1, 1);
        layout->addLayout(buttons);
    }

    m_pages->addWidget(page1);
    m_pages->addWidget(page2);
    m_pages->addWidget(page3);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->addWidget(m_pages);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(pckDrive, &DriveCheckList::tickedChanged, this, &TfrmWhichDrive::pckDriveClick);
    connect(btNext1, &QPushButton::clicked, this, &TfrmWhichDrive::btNext1Click);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btPrev2, &QPushButton::clicked, this, &TfrmWhichDrive::btPrev2Click);
    connect(btNext2, &QPushButton::clicked, this, &TfrmWhichDrive::btNext2Click);
    connect(PickList1, &TypeListBox::tickedChanged, this, &TfrmWhichDrive::PickList1Click);
    connect(btAddDelete, &QPushButton::clicked, this, &TfrmWhichDrive::btAddDeleteClick);
    connect(btPrev3, &QPushButton::clicked, this, &TfrmWhichDrive::btPrev3Click);
    connect(btOK, &QPushButton::clicked, this, &TfrmWhichDrive::btOKClick);
}

void TfrmWhichDrive::setSettingsFile(const IniFile& settings) {
    m_settings = settings;
    pckDrive->setSettingsFile(settings);
}

DriveTypeChoice TfrmWhichDrive::choice() const {
    DriveTypeChoice choice;
    choice.drives = pckDrive->tickedDrives();
    choice.allFiles = m_allFiles;
    choice.includeSelected = m_include;
    choice.excludeSelected = m_exclude;
    if (!m_allFiles)
        choice.types = PickList1->tickedLines();
    return choice;
}

int TfrmWhichDrive::currentPage() const {
    return m_pages->currentIndex();
}

void TfrmWhichDrive::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmWhichDrive::FormShow() {
    // Every root is offered; the current one is ticked.
    pckDrive->fillDriveList();
    loadTypes();
    m_allFiles = true;
    m_include = false;
    m_exclude = false;
    showPage(0);
    centreOnScreen(*this);
}

QString TfrmWhichDrive::typeSection() const {
    return rbInclude->isChecked() ? kIncludeSection : kExcludeSection;
}

void TfrmWhichDrive::loadTypes() {
    PickList1->setLines(ReadStatFilesFromDisk(m_settings, typeSection()));
    btOK->setEnabled(false);
    updateCount();
}

void TfrmWhichDrive::updateCount() {
    lblOf->setText(QString::number(PickList1->tickedCount()) + QLatin1Char('/') +
                   QString::number(PickList1->count()));
}

void TfrmWhichDrive::showPage(int page) {
    m_pages->setCurrentIndex(page);
    btNext1->setDefault(page == 0);
    btNext2->setDefault(page == 1);
    btOK->setDefault(page == 2);
    switch (page) {
        case 0:
            pckDrive->setFocus();
            break;
        case 1:
            for (QRadioButton* rb : {rbAll, rbInclude, rbExclude}) {
                if (rb->isChecked())
                    rb->setFocus();
            }
            break;
        default:
            PickList1->setFocus();
            break;
    }
}

void TfrmWhichDrive::pckDriveClick() {
    btNext1->setEnabled(pckDrive->hasTicked());
}

void TfrmWhichDrive::btNext1Click() {
    showPage(1);
}

void TfrmWhichDrive::btPrev2Click() {
    showPage(0);
}

void TfrmWhichDrive::btPrev3Click() {
    showPage(1);
}

void TfrmWhichDrive::btNext2Click() {
    btOK->setEnabled(false);
    if (rbAll->isChecked()) {
        m_allFiles = true;
        m_include = false;
        m_exclude = false;
        accept();
        return;
    }
    lblSelect->setText(rbInclude->isChecked() ? QStringLiteral("Selected file types only")
                                              : QStringLiteral("All file types except ..."));
    loadTypes();
    showPage(2);
}

void TfrmWhichDrive::PickList1Click() {
    btOK->setEnabled(pckDrive->hasTicked() && PickList1->tickedCount() > 0);
    updateCount();
}

void TfrmWhichDrive::btAddDeleteClick() {
    TfrmStatList editor(this);
    editor.setSettingsFile(m_settings);
    editor.setSection(typeSection());
    dialogs().exec(editor);
    loadTypes();
}

void TfrmWhichDrive::btOKClick() {
    m_allFiles = rbAll->isChecked();
    m_include = rbInclude->isChecked();
    m_exclude = rbExclude->isChecked();
    accept();
}

}  // namespace vantrel
