#include "app/ui/TfrmAbout.h"

#include "app/ui/Decoration.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantrel {

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Vantrel"));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("imgIcon"));
    icon->setPixmap(programIcon().pixmap(64, 64));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* product = new QLabel(QStringLiteral("Vantrel"), this);
    product->setObjectName(QStringLiteral("lblProduct"));
    QFont big = product->font();
    big.setPointSizeF(big.pointSizeF() * 2.0);
    big.setBold(true);
    product->setFont(big);

    auto* version = new QLabel(QStringLiteral("Version " VANTREL_VERSION), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    QFont bold = version->font();
    bold.setBold(true);
    version->setFont(bold);

    auto* maker = new QLabel(QStringLiteral("from Orlenda Corporation"), this);
    maker->setObjectName(QStringLiteral("lblMaker"));

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* description = new QLabel(
        QStringLiteral("Vantrel shows where the space on your disks has gone and helps you win "
                       "it back. It finds duplicate files, file hogs and folder hogs, lists "
                       "files by the dates they were accessed, created or changed, gathers "
                       "statistics, browses folders and cleans up temporary files. Whatever "
                       "you mark can be deleted for good or sent to the trash."),
        this);
    description->setObjectName(QStringLiteral("lblDescription"));
    description->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("btOK"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* text = new QVBoxLayout;
    text->setSpacing(2);
    text->addWidget(product);
    text->addWidget(version);
    text->addWidget(maker);
    text->addSpacing(8);
    text->addWidget(line);
    text->addSpacing(8);
    text->addWidget(description);

    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(text, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 12);
    layout->addLayout(top);
    layout->addSpacing(10);
    layout->addWidget(buttons);

    description->setFixedWidth(340);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace vantrel
