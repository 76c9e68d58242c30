#include "stats/ui/DeletedPage.h"

#include "results/Savings.h"
#include "text/Formats.h"
#include "text/ui/Dialogs.h"

#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantrel {

namespace {

QLineEdit* figure(const QString& name, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setReadOnly(true);
    e->setMinimumWidth(
        e->fontMetrics().horizontalAdvance(QStringLiteral("9,999,999,999,999 bytes")) + 16);
    return e;
}

}  // namespace

DeletedPage::DeletedPage(QWidget* parent) : QWidget(parent), m_settings(vantrelIni()) {
    setObjectName(QStringLiteral("pageDeleted"));
    auto* heading = new QLabel(QStringLiteral("Files processed by Vantrel"), this);
    QFont big = heading->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    heading->setFont(big);

    edNdelete = figure(QStringLiteral("edNdelete"), this);
    edSzDelete = figure(QStringLiteral("edSzDelete"), this);
    edNWaste = figure(QStringLiteral("edNWaste"), this);
    edSzWaste = figure(QStringLiteral("edSzWaste"), this);
    lblSince1 = new QLabel(this);
    lblSince1->setObjectName(QStringLiteral("lblSince1"));
    Button1 = new QPushButton(QStringLiteral("Reset these numbers"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAutoDefault(false);

    auto* deleted = new QGroupBox(QStringLiteral("Deleted files"), this);
    auto* deletedForm = new QVBoxLayout(deleted);
    deletedForm->addWidget(edNdelete);
    deletedForm->addWidget(edSzDelete);
    auto* wasted = new QGroupBox(QStringLiteral("Files sent to the recycle bin"), this);
    auto* wastedForm = new QVBoxLayout(wasted);
    wastedForm->addWidget(edNWaste);
    wastedForm->addWidget(edSzWaste);

    // The two groups in one column, so they share a width.
    auto* groups = new QGridLayout;
    groups->addWidget(deleted, 0, 0);
    groups->addWidget(lblSince1, 0, 1, Qt::AlignVCenter);
    groups->addWidget(wasted, 1, 0);
    groups->setColumnStretch(2, 1);
    groups->setHorizontalSpacing(16);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(Button1);
    buttonRow->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addSpacing(12);
    layout->addLayout(groups);
    layout->addSpacing(12);
    layout->addLayout(buttonRow);
    layout->addStretch(1);

    connect(Button1, &QPushButton::clicked, this, &DeletedPage::Button1Click);
}

void DeletedPage::showFilesDeleted() {
    const SavingsTotals t = readSavings(m_settings);
    const TextLocale& loc = TextLocale::current();
    lblSince1->setText(t.startDay < 0
                           ? QString()
                           : QStringLiteral("Since ") +
                                 loc.locale.toString(QDate(1899, 12, 30).addDays(t.startDay),
                                                     loc.shortDateFormat));
    const auto show = [](QLineEdit* files, QLineEdit* bytes, qint64 count, qint64 size) {
        if (count > 0) {
            files->setText(numberText(count) + QStringLiteral(" files"));
            bytes->setText(numberText(qMax<qint64>(size, 0)) + QStringLiteral(" bytes"));
        } else {
            files->setText(QStringLiteral("n/a"));
            bytes->setText(QStringLiteral("n/a"));
        }
    };
    show(edNdelete, edSzDelete, t.deletedCount, t.deletedBytes);
    show(edNWaste, edSzWaste, t.recycledCount, t.recycledBytes);
}

void DeletedPage::Button1Click() {
    if (dialogs().question(QStringLiteral("Reset cumulative totals?"), QuestionButtons::YesNo,
                           this) != Answer::Yes)
        return;
    if (!resetSavings(m_settings))
        alertBox(QStringLiteral("The totals could not be reset: ") +
                     QDir::toNativeSeparators(m_settings.path()) +
                     QStringLiteral(" cannot be written."),
                 this);
    showFilesDeleted();
}

}  // namespace vantrel
