#include "stats/ui/OverhangPage.h"

#include "stats/ui/StatsCharts.h"
#include "stats/ui/StatsColours.h"
#include "text/Formats.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QValueAxis>

#include <cmath>

namespace vantrel {

namespace {

const char* const kMemoLines[] = {
    "This page is an illustration of the amount of disk space wasted due to 'cluster "
    "overhang.'  This is the smallest amount of space ",
    "a file will actually use.   The arrow points to your actual cluster size, the other "
    "numbers are hypothetical.",
    "",
    "Due to the design of both Windows 95 and DOS the hard disk is divided into clusters.  "
    "Files are stored in clusters. A file of ",
    "one byte will take an entire cluster and a file that's one byte larger than a cluster "
    "will take two clusters.  The larger the ",
    "partition, the more overhang or waste is involved.",
    "",
    "Solutions are to either repartition your hard disk or use disk compression.  Later "
    "versions of Win95 come with FAT32 which ",
    "uses 4K cluster sizes for drives up to 8GB in size and 8K clusters for up to 16GB.",
};

QLabel* bold(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

}  // namespace

OverhangPage::OverhangPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pageOverhang"));
    auto* title = bold(QStringLiteral("Cluster overhang for FAT and FAT32 drives"), this);
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    title->setFont(big);

    m_table = new QGridLayout;
    const QStringList heads = {QStringLiteral("FAT Partion size"), QStringLiteral("FAT 32 Size"),
                               QStringLiteral("Cluster size"), QString(),
                               QStringLiteral("Wasted space")};
    for (int c = 0; c < heads.size(); ++c)
        m_table->addWidget(bold(heads[c], this), 0, c);
    const struct {
        const char* fat;
        const char* fat32;
        const char* cluster;
    } rows[] = {{"255 MB", "Less than 8GB", "4K"},
                {"256 MB - 511 MB", "Less than 16GB", "8K"},
                {"512 MB - 1023 MB", "Less than 32GB", "16K"},
                {"1 GB - 2 GB", "32GB or more", "32K"},
                {"2 GB - 4 GB", "", "64K"}};
    for (int r = 0; r < 5; ++r) {
        m_table->addWidget(new QLabel(QString::fromLatin1(rows[r].fat), this), r + 1, 0);
        m_table->addWidget(new QLabel(QString::fromLatin1(rows[r].fat32), this), r + 1, 1);
        auto* size = new QLabel(QString::fromLatin1(rows[r].cluster), this);
        size->setObjectName(QStringLiteral("lblCSize") + QString::number(r + 1));
        m_table->addWidget(size, r + 1, 2);
        lblCSize.append(size);
        auto* over = new QLabel(this);
        over->setObjectName(QStringLiteral("lblOver") + QString::number(r + 1));
        over->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        over->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("9,999,999,999,999")));
        m_table->addWidget(over, r + 1, 4);
        lblOver.append(over);
    }
    imArrow = new QLabel(QStringLiteral("\u25C0 yours"), this);
    imArrow->setObjectName(QStringLiteral("imArrow"));
    imArrow->setToolTip(QStringLiteral("The cluster size of the drive walked"));
    QPalette red = imArrow->palette();
    red.setColor(QPalette::WindowText, StatsColour::Red);
    imArrow->setPalette(red);
    imArrow->hide();
    m_table->setHorizontalSpacing(14);
    m_table->setVerticalSpacing(10);

    chartOverhang = makeChartView(QStringLiteral("chartOverhang"), this);
    chartOverhang->chart()->setTitle(QStringLiteral("Percent wasted"));
    chartOverhang->setMinimumSize(300, 220);

    pnlOverhang = new QWidget(this);
    pnlOverhang->setObjectName(QStringLiteral("pnlOverhang"));
    lblNumFiles = new QLabel(pnlOverhang);
    lblNumFiles->setObjectName(QStringLiteral("lblNumFiles"));
    lblSize = new QLabel(pnlOverhang);
    lblSize->setObjectName(QStringLiteral("lblSize"));
    lblLbl = new QLabel(QStringLiteral("Actual space used:"), pnlOverhang);
    lblLbl->setObjectName(QStringLiteral("lblLbl"));
    lblLbl->setToolTip(QStringLiteral("The space the files take on the disk"));
    auto* strip = new QHBoxLayout(pnlOverhang);
    strip->setContentsMargins(0, 0, 0, 0);
    strip->addWidget(lblNumFiles);
    strip->addSpacing(24);
    strip->addWidget(new QLabel(QStringLiteral("Total file sizes:"), pnlOverhang));
    strip->addWidget(lblSize);
    strip->addSpacing(24);
    strip->addWidget(lblLbl);
    strip->addStretch(1);
    pnlOverhang->hide();

    Memo1 = new QTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    QString memo;
    for (const char* line : kMemoLines)
        memo += *line ? QString::fromLatin1(line) : QStringLiteral("\n\n");
    Memo1->setPlainText(memo);
    Memo1->viewport()->setAutoFillBackground(false);
    Memo1->setMaximumHeight(fontMetrics().lineSpacing() * 9);

    auto* middle = new QHBoxLayout;
    middle->addLayout(m_table);
    middle->addWidget(chartOverhang, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addLayout(middle, 1);
    layout->addWidget(pnlOverhang);
    layout->addWidget(Memo1);
}

bool OverhangPage::doOverHang(const OverhangFigures& f) {
    if (f.totalBytes <= 0)
        return false;
    for (int i = 0; i < kClusterSizeCount; ++i)
        lblOver[i]->setText(numberText(f.slack[std::size_t(i)]));
    drawClusterArrow(f.clusterIndex);
    pnlOverhang->show();
    lblSize->setText(kilobyteOrMegabyteText(f.totalBytes));
    lblNumFiles->setText(QStringLiteral("Number of files scanned: ") + numberText(f.filesFound));
    lblLbl->setText(QStringLiteral("Actual space used ") +
                    kilobyteOrMegabyteText(f.allocatedBytes));

    QChart* chart = chartOverhang->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes())
        chart->removeAxis(axis);
    auto* set = new QBarSet(QStringLiteral("Percent wasted"));
    set->setColor(StatsColour::Red);
    set->setSelectedColor(StatsColour::Maroon);
    QStringList labels;
    // 64K at the bottom up to 4K at the top, as the table's rows run.
    for (int i = kClusterSizeCount - 1; i >= 0; --i) {
        set->append(std::round(f.percentWasted[std::size_t(i)] * 10.0) / 10.0);
        labels.append(lblCSize[i]->text());
    }
    if (f.clusterIndex >= 0)
        set->selectBar(kClusterSizeCount - 1 - f.clusterIndex);
    auto* series = new QHorizontalBarSeries;
    series->setObjectName(QStringLiteral("Series9"));
    series->append(set);
    series->setLabelsVisible(true);
    series->setLabelsFormat(QStringLiteral("@value %"));
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    chart->addSeries(series);
    set->setColor(StatsColour::Red);
    set->setBorderColor(StatsColour::Maroon);
    set->setLabelColor(Qt::black);
    auto* categories = new QBarCategoryAxis;
    categories->append(labels);
    chart->addAxis(categories, Qt::AlignLeft);
    series->attachAxis(categories);
    auto* values = new QValueAxis;
    values->setRange(0, 100);
    values->setLabelFormat(QStringLiteral("%.0f %%"));
    chart->addAxis(values, Qt::AlignBottom);
    series->attachAxis(values);
    return true;
}

void OverhangPage::drawClusterArrow(int clusterIndex) {
    m_arrowRow = clusterIndex;
    imArrow->hide();
    if (clusterIndex < 0)
        return;
    m_table->addWidget(imArrow, clusterIndex + 1, 3);
    imArrow->show();
}

}  // namespace vantrel
