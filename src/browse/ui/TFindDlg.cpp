#include "browse/ui/TFindDlg.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vantrel {

namespace {

QPointer<TFindDlg> g_installed;
bool g_madeHere = false;

}  // namespace

TFindDlg::TFindDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FindDlg"));
    setWindowTitle(QStringLiteral("Find"));

    auto* textBox = new QGroupBox(QStringLiteral("&Search Text"), this);
    Edit1 = new QLineEdit(textBox);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMinimumWidth(260);
    auto* textLayout = new QVBoxLayout(textBox);
    textLayout->addWidget(Edit1);
    // The group's mnemonic leads to the edit.
    textBox->setFocusProxy(Edit1);

    auto* options = new QGroupBox(QStringLiteral("Search &Options"), this);
    RadioButton1 = new QRadioButton(QStringLiteral("Search &Forward"), options);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton1->setChecked(true);
    RadioButton2 = new QRadioButton(QStringLiteral("Search &Backward"), options);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    CheckBox1 = new QCheckBox(QStringLiteral("&Match Case"), options);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox2 = new QCheckBox(QStringLiteral("&Global Search"), options);
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
    auto* optionsLayout = new QVBoxLayout(options);
    optionsLayout->addWidget(RadioButton1);
    optionsLayout->addWidget(RadioButton2);
    optionsLayout->addWidget(CheckBox1);
    optionsLayout->addWidget(CheckBox2);
    options->setFocusProxy(RadioButton1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("btOk"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("btCancel"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(textBox);
    layout->addWidget(options);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

TFindDlg::~TFindDlg() = default;

void TFindDlg::install(TFindDlg* dialog) {
    if (g_madeHere && g_installed && g_installed != dialog)
        delete g_installed.data();
    g_installed = dialog;
    g_madeHere = false;
}

TFindDlg& TFindDlg::instance() {
    if (!g_installed) {
        auto* made = new TFindDlg;
        g_installed = made;
        g_madeHere = true;
        // Gone with the application; before it, so that no widget outlives it.
        if (auto* app = QCoreApplication::instance())
            connect(app, &QCoreApplication::aboutToQuit, made, &QObject::deleteLater);
    }
    return *g_installed;
}

QString TFindDlg::text() const {
    return Edit1->text();
}
bool TFindDlg::backward() const {
    return RadioButton2->isChecked();
}
bool TFindDlg::matchCase() const {
    return CheckBox1->isChecked();
}
bool TFindDlg::globalSearch() const {
    return CheckBox2->isChecked();
}

void TFindDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Edit1->setFocus();
    Edit1->selectAll();
}

}  // namespace vantrel
