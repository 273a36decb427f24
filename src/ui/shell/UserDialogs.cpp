#include "ui/shell/UserDialogs.h"

#include <QMessageBox>

namespace morvane {

namespace {

QMessageBox::Icon IconOf(UserDialogs::Kind kind) {
    switch (kind) {
        case UserDialogs::Kind::Error:
            return QMessageBox::Critical;
        case UserDialogs::Kind::Attention:
            return QMessageBox::Warning;
        case UserDialogs::Kind::Information:
            break;
    }
    return QMessageBox::Information;
}

}  // namespace

UserDialogs::Kind KindForCaption(const QString& caption) {
    if (caption.startsWith(QStringLiteral("Ошибка"))) return UserDialogs::Kind::Error;
    if (caption.startsWith(QStringLiteral("Внимание"))) return UserDialogs::Kind::Attention;
    return UserDialogs::Kind::Information;
}

void MessageBoxDialogs::Message(Kind kind, const QString& caption, const QString& text) {
    QMessageBox box(IconOf(kind), caption, text, QMessageBox::Ok, parent_);
    box.exec();
}

bool MessageBoxDialogs::YesNo(const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                    parent_);
    return box.exec() == QMessageBox::Yes;
}

UserDialogs::ReadErrorAnswer MessageBoxDialogs::AbortRetryIgnore(const QString& caption,
                                                                 const QString& text) {
    QMessageBox box(QMessageBox::Critical, caption, text,
                    QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore, parent_);
    switch (box.exec()) {
        case QMessageBox::Retry:
            return ReadErrorAnswer::Retry;
        case QMessageBox::Ignore:
            return ReadErrorAnswer::Ignore;
        default:
            return ReadErrorAnswer::Abort;
    }
}

UserDialogs::Answer MessageBoxDialogs::YesNoCancel(const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Question, caption, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent_);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

}  // namespace morvane
