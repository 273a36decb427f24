#include "ui/shell/ProgressWindow.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/views/QtText.h"
#include "ui/views/ShownText.h"

namespace morvane {

ProgressWindow::ProgressWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ProgressWindow"));
    setModal(true);
    // No title-bar help or close request competes with "Отмена".
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    auto* trackCaption = new QLabel(Ui::tr("Дорожка -"));
    trackValue_ = new QLabel(QStringLiteral("0"));
    trackValue_->setObjectName(QStringLiteral("Vr1"));
    trackValue_->setMinimumWidth(40);
    progressBar_ = new QProgressBar;
    progressBar_->setObjectName(QStringLiteral("VrPb"));
    progressBar_->setTextVisible(false);
    cancelButton_ = new QPushButton(Ui::tr("Отмена"));
    cancelButton_->setObjectName(QStringLiteral("bb1"));
    cancelButton_->setAutoDefault(false);
    startTimer_ = new QTimer(this);
    startTimer_->setObjectName(QStringLiteral("t1"));
    startTimer_->setInterval(kProgressStartDelayMs);
    startTimer_->setSingleShot(true);

    auto* trackRow = new QHBoxLayout;
    trackRow->addWidget(trackCaption);
    trackRow->addWidget(trackValue_);
    trackRow->addStretch();
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(cancelButton_);
    buttonRow->addStretch();
    auto* column = new QVBoxLayout(this);
    column->addLayout(trackRow);
    column->addWidget(progressBar_);
    column->addLayout(buttonRow);
    // Wide enough for the longest caption, "Сканирование с посекторным чтением".
    setFixedSize(440, 120);

    connect(cancelButton_, &QPushButton::clicked, this, &ProgressWindow::RequestCancel);
    connect(startTimer_, &QTimer::timeout, this, &ProgressWindow::StartWorker);
}

void ProgressWindow::Run(const QString& caption, int maximum, std::function<void()> worker) {
    caption_ = caption;
    maximum_ = maximum;
    worker_ = std::move(worker);
    startPending_ = true;
    exec();
    startPending_ = false;
    worker_ = nullptr;
}

void ProgressWindow::Prepare(const QString& caption, int maximum) {
    setWindowTitle(ShownText(caption.toStdString()));
    trackValue_->setText(QStringLiteral("0"));
    progressBar_->setRange(0, maximum);
    progressBar_->setValue(0);
    cancelButton_->setEnabled(true);
    cancelRequested_ = false;
}

void ProgressWindow::SetTrack(const QString& text) {
    trackValue_->setText(text);
}

void ProgressWindow::SetProgress(int position) {
    progressBar_->setValue(position);
}

void ProgressWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Shown again (restored from minimised, say) the window must not start the run again.
    if (!worker_ || !startPending_) return;
    startPending_ = false;
    emit runShowing();
    Prepare(caption_, maximum_);
    startTimer_->start();
}

void ProgressWindow::StartWorker() {
    startTimer_->stop();
    if (worker_) {
        running_ = true;
        worker_();
        running_ = false;
    }
    accept();
}

void ProgressWindow::RequestCancel() {
    cancelButton_->setEnabled(false);
    cancelRequested_ = true;
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
    if (running_ || startTimer_->isActive()) {
        RequestCancel();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void ProgressWindow::reject() {
    if (running_ || startTimer_->isActive()) {
        RequestCancel();
        return;
    }
    QDialog::reject();
}

}  // namespace morvane
