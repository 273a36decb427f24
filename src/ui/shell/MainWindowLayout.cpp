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
#include "ui/shell/ProgressWindow.h"
#include "ui/views/DiskMapView.h"
#include "ui/views/HexView.h"
#include "ui/views/QtText.h"
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

void MainWindow::BuildLayout() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("central"));
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(2, 2, 2, 2);
    row->addWidget(new PaneSplitter(BuildLeftPart(), BuildRightPart()));
    setCentralWidget(central);
    BuildStatusBar();
    views_.progress = new ProgressWindow(this);
    connect(views_.progress, &ProgressWindow::runShowing, this, [this] { views_.ShowMapFromTop(); });
}

QWidget* MainWindow::BuildLeftPart() {
    // No fixed minimum: at 1366 pixels a 901-pixel left part left the map less than ten
    // sector columns. The split gives it the width it asks for when there is room.
    auto* pn1 = new QWidget;
    pn1->setObjectName(QStringLiteral("pn1"));

    views_.sectorView = new SectorView(*disk_);
    views_.sectorView->setObjectName(QStringLiteral("SectorView"));
    views_.hexView = views_.sectorView->hexView();
    views_.crcLabel = Named(new QLabel(QStringLiteral("CRC - ")), "lbDataCrc");
    views_.offsetLabel = Named(new QLabel(QStringLiteral("#0000")), "lbOffset");
    connect(views_.sectorView, &SectorView::dataCrcLabelChanged, views_.crcLabel, &QLabel::setText);
    connect(views_.hexView, &HexView::cursorMoved, views_.offsetLabel, [this](qsizetype offset) {
        views_.offsetLabel->setText(
            QString::fromStdString(OffsetLabelText(static_cast<std::size_t>(offset))));
    });
    auto* marks = new QHBoxLayout;
    marks->addWidget(views_.crcLabel);
    marks->addWidget(views_.offsetLabel);
    marks->addStretch();
    auto* top = new QVBoxLayout;
    top->addLayout(marks);
    top->addWidget(views_.sectorView, 1);

    views_.logPages = new QTabWidget;
    views_.logPages->setObjectName(QStringLiteral("pc1"));
    views_.logList = new QListWidget;
    views_.logList->setObjectName(QStringLiteral("Lzx1"));
    views_.logPage = views_.logList;
    views_.logPages->addTab(views_.logList, QStringLiteral("LOG"));

    views_.commentPage = new QWidget;
    views_.commentPage->setObjectName(QStringLiteral("tsComment"));
    auto* commentBar = new QToolBar;
    commentBar->setObjectName(QStringLiteral("tbComment"));
    views_.commentAccept = commentBar->addAction(Ui::tr("Принять"));
    views_.commentCancel = commentBar->addAction(Ui::tr("Отменить"));
    views_.commentAccept->setEnabled(false);
    views_.commentCancel->setEnabled(false);
    views_.commentEdit = new QPlainTextEdit;
    views_.commentEdit->setObjectName(QStringLiteral("lb1"));
    views_.commentEdit->installEventFilter(this);
    auto* commentBox = new QVBoxLayout(views_.commentPage);
    commentBox->setContentsMargins(0, 0, 0, 0);
    commentBox->addWidget(commentBar);
    commentBox->addWidget(views_.commentEdit, 1);
    views_.logPages->addTab(views_.commentPage, Ui::tr("Комментарии к диску"));

    auto* column = new QVBoxLayout(pn1);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(top, 3);
    column->addWidget(views_.logPages, 2);
    return pn1;
}

QWidget* MainWindow::BuildRightPart() {
    auto* pn2 = new QWidget;
    pn2->setObjectName(QStringLiteral("pn2"));
    pn2->setMinimumWidth(kRightMinWidth);

    views_.sectorLabel = Named(new QLabel, "l1");
    views_.trackLabel = Named(new QLabel, "l2");
    views_.sectorLabel->setMinimumWidth(40);
    views_.trackLabel->setMinimumWidth(40);
    auto* labels = new QHBoxLayout;
    labels->addWidget(new QLabel(Ui::tr("Сектор -")));
    labels->addWidget(views_.sectorLabel);
    labels->addSpacing(20);
    labels->addWidget(new QLabel(Ui::tr("Дорожка -")));
    labels->addWidget(views_.trackLabel);
    labels->addStretch();

    views_.diskMap = new DiskMapView(*disk_);
    views_.diskMap->setObjectName(QStringLiteral("zxd"));

    views_.ownerBar = new QWidget;
    views_.ownerBar->setObjectName(QStringLiteral("trp1"));
    views_.ownerLine = Named(new QLabel(QStringLiteral("Track -")), "mml1");
    auto* bar = new QHBoxLayout(views_.ownerBar);
    bar->setContentsMargins(2, 0, 2, 0);
    bar->addWidget(views_.ownerLine);
    views_.ownerBar->setVisible(false);

    auto* column = new QVBoxLayout(pn2);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(labels);
    column->addWidget(views_.diskMap, 1);
    column->addWidget(views_.ownerBar);
    return pn2;
}

void MainWindow::BuildStatusBar() {
    QStatusBar* sb = statusBar();
    sb->setObjectName(QStringLiteral("sb"));
    for (int i = 0; i < 3; ++i) {
        views_.statusPanels[static_cast<std::size_t>(i)] = new QLabel;
        views_.statusPanels[static_cast<std::size_t>(i)]->setObjectName(
            QStringLiteral("sbPanel%1").arg(i));
    }
    views_.statusPanels[0]->setFixedWidth(kLinkPanelWidth);
    views_.statusPanels[1]->setMinimumWidth(kIdentPanelMinWidth);
    sb->addWidget(views_.statusPanels[0]);
    sb->addWidget(views_.statusPanels[1], 1);
    sb->addPermanentWidget(views_.statusPanels[2]);
}

}  // namespace morvane
