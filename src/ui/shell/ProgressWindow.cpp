#include "ui/shell/ProgressWindow.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace morvane {

T_Prog::T_Prog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("T_Prog"));
    setModal(true);
    // No title-bar help or close request competes with "Отмена".
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    auto* trackCaption = new QLabel(QStringLiteral("Дорожка -"));
    vr1_ = new QLabel(QStringLiteral("0"));
    vr1_->setObjectName(QStringLiteral("Vr1"));
    vr1_->setMinimumWidth(40);
    vrPb_ = new QProgressBar;
    vrPb_->setObjectName(QStringLiteral("VrPb"));
    vrPb_->setTextVisible(false);
    bb1_ = new QPushButton(QStringLiteral("Отмена"));
    bb1_->setObjectName(QStringLiteral("bb1"));
    bb1_->setAutoDefault(false);
    t1_ = new QTimer(this);
    t1_->setObjectName(QStringLiteral("t1"));
    t1_->setInterval(kProgressStartDelayMs);
    t1_->setSingleShot(true);

    auto* trackRow = new QHBoxLayout;
    trackRow->addWidget(trackCaption);
    trackRow->addWidget(vr1_);
    trackRow->addStretch();
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(bb1_);
    buttonRow->addStretch();
    auto* column = new QVBoxLayout(this);
    column->addLayout(trackRow);
    column->addWidget(vrPb_);
    column->addLayout(buttonRow);
    // Wide enough for the longest caption, "Сканирование с посекторным чтением".
    setFixedSize(440, 120);

    connect(bb1_, &QPushButton::clicked, this, &T_Prog::RequestCancel);
    connect(t1_, &QTimer::timeout, this, &T_Prog::StartWorker);
}

void T_Prog::Run(const QString& caption, int maximum, std::function<void()> worker) {
    caption_ = caption;
    maximum_ = maximum;
    worker_ = std::move(worker);
    startPending_ = true;
    exec();
    startPending_ = false;
    worker_ = nullptr;
}

void T_Prog::Prepare(const QString& caption, int maximum) {
    setWindowTitle(caption);
    vr1_->setText(QStringLiteral("0"));
    vrPb_->setRange(0, maximum);
    vrPb_->setValue(0);
    bb1_->setEnabled(true);
    cancelRequested_ = false;
}

void T_Prog::SetTrack(const QString& text) {
    vr1_->setText(text);
}

void T_Prog::SetProgress(int position) {
    vrPb_->setValue(position);
}

void T_Prog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Shown again (restored from minimised, say) the window must not start the run again.
    if (!worker_ || !startPending_) return;
    startPending_ = false;
    emit runShowing();
    Prepare(caption_, maximum_);
    t1_->start();
}

void T_Prog::StartWorker() {
    t1_->stop();
    if (worker_) {
        running_ = true;
        worker_();
        running_ = false;
    }
    accept();
}

void T_Prog::RequestCancel() {
    bb1_->setEnabled(false);
    cancelRequested_ = true;
}

void T_Prog::closeEvent(QCloseEvent* event) {
    if (running_ || t1_->isActive()) {
        RequestCancel();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void T_Prog::reject() {
    if (running_ || t1_->isActive()) {
        RequestCancel();
        return;
    }
    QDialog::reject();
}

}  // namespace morvane
