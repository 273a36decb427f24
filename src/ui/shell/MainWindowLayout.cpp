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
    hexView_ = sectorView_->hexView();
    crcLabel_ = Named(new QLabel(QStringLiteral("CRC - ")), "lbDataCrc");
    offsetLabel_ = Named(new QLabel(QStringLiteral("#0000")), "lbOffset");
    connect(sectorView_, &SectorView::dataCrcLabelChanged, crcLabel_, &QLabel::setText);
    connect(hexView_, &HexView::cursorMoved, offsetLabel_, [this](qsizetype offset) {
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

    logPages_ = new QTabWidget;
    logPages_->setObjectName(QStringLiteral("pc1"));
    logList_ = new QListWidget;
    logList_->setObjectName(QStringLiteral("Lzx1"));
    logPage_ = logList_;
    logPages_->addTab(logList_, QStringLiteral("LOG"));

    commentPage_ = new QWidget;
    commentPage_->setObjectName(QStringLiteral("tsComment"));
    auto* commentBar = new QToolBar;
    commentBar->setObjectName(QStringLiteral("tbComment"));
    commentAccept_ = commentBar->addAction(QStringLiteral("Принять"));
    commentCancel_ = commentBar->addAction(QStringLiteral("Отменить"));
    commentAccept_->setEnabled(false);
    commentCancel_->setEnabled(false);
    commentEdit_ = new QPlainTextEdit;
    commentEdit_->setObjectName(QStringLiteral("lb1"));
    commentEdit_->installEventFilter(this);
    auto* commentBox = new QVBoxLayout(commentPage_);
    commentBox->setContentsMargins(0, 0, 0, 0);
    commentBox->addWidget(commentBar);
    commentBox->addWidget(commentEdit_, 1);
    logPages_->addTab(commentPage_, QStringLiteral("Комментарии к диску"));

    auto* column = new QVBoxLayout(pn1);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(top, 3);
    column->addWidget(logPages_, 2);
    return pn1;
}

QWidget* TFMain::BuildRightPart() {
    auto* pn2 = new QWidget;
    pn2->setObjectName(QStringLiteral("pn2"));
    pn2->setMinimumWidth(kRightMinWidth);

    sectorLabel_ = Named(new QLabel, "l1");
    trackLabel_ = Named(new QLabel, "l2");
    sectorLabel_->setMinimumWidth(40);
    trackLabel_->setMinimumWidth(40);
    auto* labels = new QHBoxLayout;
    labels->addWidget(new QLabel(QStringLiteral("Сектор -")));
    labels->addWidget(sectorLabel_);
    labels->addSpacing(20);
    labels->addWidget(new QLabel(QStringLiteral("Дорожка -")));
    labels->addWidget(trackLabel_);
    labels->addStretch();

    diskMap_ = new DiskMapView(*disk_);
    diskMap_->setObjectName(QStringLiteral("zxd"));

    ownerBar_ = new QWidget;
    ownerBar_->setObjectName(QStringLiteral("trp1"));
    ownerLine_ = Named(new QLabel(QStringLiteral("Track -")), "mml1");
    auto* bar = new QHBoxLayout(ownerBar_);
    bar->setContentsMargins(2, 0, 2, 0);
    bar->addWidget(ownerLine_);
    ownerBar_->setVisible(false);

    auto* column = new QVBoxLayout(pn2);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(labels);
    column->addWidget(diskMap_, 1);
    column->addWidget(ownerBar_);
    return pn2;
}

void TFMain::BuildStatusBar() {
    QStatusBar* sb = statusBar();
    sb->setObjectName(QStringLiteral("sb"));
    for (int i = 0; i < 3; ++i) {
        statusPanels_[i] = new QLabel;
        statusPanels_[i]->setObjectName(QStringLiteral("sbPanel%1").arg(i));
    }
    statusPanels_[0]->setFixedWidth(kLinkPanelWidth);
    statusPanels_[1]->setMinimumWidth(kIdentPanelMinWidth);
    sb->addWidget(statusPanels_[0]);
    sb->addWidget(statusPanels_[1], 1);
    sb->addPermanentWidget(statusPanels_[2]);
}

}  // namespace morvane
