// The main window's layout: the sector view and the logs on the left, the disk map on the
// right, the status bar at the bottom. Object names are the program's component names.
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include "ui/shell/MainWindow.h"
#include "ui/shell/PaneSplitter.h"
#include "ui/views/DiskMapView.h"
#include "ui/views/HexView.h"
#include "ui/views/SectorView.h"

namespace morvane {

namespace {

constexpr int kRightMinWidth = 350;
constexpr int kLinkPanelWidth = 200;
constexpr int kIdentPanelMinWidth = 50;

QLabel* Named(QLabel* label, const char* name) {
    label->setObjectName(QLatin1String(name));
    return label;
}

}  // namespace

void TFMain::BuildLayout() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("central"));
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(2, 2, 2, 2);
    row->addWidget(new PaneSplitter(BuildLeftPart(), BuildRightPart()));
    setCentralWidget(central);
    BuildStatusBar();
}

QWidget* TFMain::BuildLeftPart() {
    // No fixed minimum: at 1366 pixels a 901-pixel left part left the map less than ten
    // sector columns. The split gives it the width it asks for when there is room.
    auto* pn1 = new QWidget;
    pn1->setObjectName(QStringLiteral("pn1"));

    sectorView_ = new SectorView(*disk_);
    sectorView_->setObjectName(QStringLiteral("SectorView"));
    s1_ = sectorView_->hexView();
    crcLabel_ = Named(new QLabel(QStringLiteral("CRC - ")), "lbDataCrc");
    offsetLabel_ = Named(new QLabel(QStringLiteral("#0000")), "lbOffset");
    connect(sectorView_, &SectorView::dataCrcLabelChanged, crcLabel_, &QLabel::setText);
    connect(s1_, &HexView::cursorMoved, offsetLabel_, [this](qsizetype offset) {
        offsetLabel_->setText(
            QString::fromStdString(OffsetLabelText(static_cast<std::size_t>(offset))));
    });
    auto* marks = new QHBoxLayout;
    marks->addWidget(crcLabel_);
    marks->addWidget(offsetLabel_);
    marks->addStretch();
    auto* top = new QVBoxLayout;
    top->addLayout(marks);
    top->addWidget(sectorView_, 1);

    pc1_ = new QTabWidget;
    pc1_->setObjectName(QStringLiteral("pc1"));
    Lzx1_ = new QListWidget;
    Lzx1_->setObjectName(QStringLiteral("Lzx1"));
    logPage_ = Lzx1_;
    pc1_->addTab(Lzx1_, QStringLiteral("LOG"));

    commentPage_ = new QWidget;
    commentPage_->setObjectName(QStringLiteral("tsComment"));
    auto* commentBar = new QToolBar;
    commentBar->setObjectName(QStringLiteral("tbComment"));
    commentAccept_ = commentBar->addAction(QStringLiteral("Принять"));
    commentCancel_ = commentBar->addAction(QStringLiteral("Отменить"));
    commentAccept_->setEnabled(false);
    commentCancel_->setEnabled(false);
    lb1_ = new QPlainTextEdit;
    lb1_->setObjectName(QStringLiteral("lb1"));
    lb1_->installEventFilter(this);
    auto* commentBox = new QVBoxLayout(commentPage_);
    commentBox->setContentsMargins(0, 0, 0, 0);
    commentBox->addWidget(commentBar);
    commentBox->addWidget(lb1_, 1);
    pc1_->addTab(commentPage_, QStringLiteral("Комментарии к диску"));

    auto* column = new QVBoxLayout(pn1);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(top, 3);
    column->addWidget(pc1_, 2);
    return pn1;
}

QWidget* TFMain::BuildRightPart() {
    auto* pn2 = new QWidget;
    pn2->setObjectName(QStringLiteral("pn2"));
    pn2->setMinimumWidth(kRightMinWidth);

    l1_ = Named(new QLabel, "l1");
    l2_ = Named(new QLabel, "l2");
    l1_->setMinimumWidth(40);
    l2_->setMinimumWidth(40);
    auto* labels = new QHBoxLayout;
    labels->addWidget(new QLabel(QStringLiteral("Сектор -")));
    labels->addWidget(l1_);
    labels->addSpacing(20);
    labels->addWidget(new QLabel(QStringLiteral("Дорожка -")));
    labels->addWidget(l2_);
    labels->addStretch();

    zxd_ = new DiskMapView(*disk_);
    zxd_->setObjectName(QStringLiteral("zxd"));

    trp1_ = new QWidget;
    trp1_->setObjectName(QStringLiteral("trp1"));
    mml1_ = Named(new QLabel(QStringLiteral("Track -")), "mml1");
    auto* bar = new QHBoxLayout(trp1_);
    bar->setContentsMargins(2, 0, 2, 0);
    bar->addWidget(mml1_);
    trp1_->setVisible(false);

    auto* column = new QVBoxLayout(pn2);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(labels);
    column->addWidget(zxd_, 1);
    column->addWidget(trp1_);
    return pn2;
}

void TFMain::BuildStatusBar() {
    QStatusBar* sb = statusBar();
    sb->setObjectName(QStringLiteral("sb"));
    for (int i = 0; i < 3; ++i) {
        sbPanel_[i] = new QLabel;
        sbPanel_[i]->setObjectName(QStringLiteral("sbPanel%1").arg(i));
    }
    sbPanel_[0]->setFixedWidth(kLinkPanelWidth);
    sbPanel_[1]->setMinimumWidth(kIdentPanelMinWidth);
    sb->addWidget(sbPanel_[0]);
    sb->addWidget(sbPanel_[1], 1);
    sb->addPermanentWidget(sbPanel_[2]);
}

}  // namespace morvane
