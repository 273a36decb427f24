#include "ui/views/MessageBoxAsker.h"

#include <QMessageBox>

#include "ui/views/ShownText.h"

namespace morvane {

namespace {

bool CaptionStartsWith(const QString& caption, const char* word) {
    return caption.startsWith(QString::fromUtf8(word));
}

QMessageBox::Icon IconFor(const QString& caption, Buttons buttons) {
    if (CaptionStartsWith(caption, "Ошибка") || buttons == Buttons::AbortRetryIgnore)
        return QMessageBox::Critical;
    if (CaptionStartsWith(caption, "Внимание")) return QMessageBox::Warning;
    return buttons == Buttons::Ok ? QMessageBox::Information : QMessageBox::Question;
}

QMessageBox::StandardButtons ButtonsFor(Buttons buttons) {
    switch (buttons) {
        case Buttons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case Buttons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case Buttons::AbortRetryIgnore:
            return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
        case Buttons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case Buttons::Ok:
            break;
    }
    return QMessageBox::Ok;
}

Answer AnswerFor(int button, Buttons buttons) {
    switch (button) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Retry:
            return Answer::Retry;
        case QMessageBox::Ignore:
            return Answer::Ignore;
        case QMessageBox::Abort:
            return Answer::Abort;
        case QMessageBox::Ok:
            // An OK/Cancel box says OK only through its button.
            return Answer::Ok;
        default:
            break;
    }
    // Closed without a button: the answer that changes nothing.
    switch (buttons) {
        case Buttons::YesNo:
            return Answer::No;
        case Buttons::YesNoCancel:
        case Buttons::OkCancel:
            return Answer::Cancel;
        case Buttons::AbortRetryIgnore:
            return Answer::Abort;
        case Buttons::Ok:
            break;
    }
    return Answer::Ok;
}

}  // namespace

Answer MessageBoxAsker::Ask(const Question& question) {
    // The icon follows the caption as written; the box shows it in the chosen language.
    const QString caption = QString::fromStdString(question.caption);
    QMessageBox box(IconFor(caption, question.buttons), ShownText(question.caption),
                    ShownText(question.text), ButtonsFor(question.buttons), parent_);
    if (question.buttons == Buttons::YesNoCancel) {
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
    }
    if (question.buttons == Buttons::OkCancel) {
        box.setDefaultButton(QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
    }
    return AnswerFor(box.exec(), question.buttons);
}

}  // namespace morvane
