// Answers the program's questions from a script and records what was asked, as
// "caption|text": the OK boxes in messages, the questions in questions. A question takes
// the next scripted answer, or the fallback for its buttons when the script has run out.
#pragma once

#include <QString>
#include <QStringList>

#include <deque>

#include "model/UserQuestion.h"

namespace morvane::test {

struct ScriptedAsker : UserAsker {
    QStringList messages;
    QStringList questions;
    std::deque<Answer> answers;
    Answer yesNo = Answer::Yes;
    Answer yesNoCancel = Answer::No;
    Answer abortRetryIgnore = Answer::Abort;
    Answer okCancel = Answer::Ok;

    Answer Ask(const Question& q) override {
        const QString asked = QString::fromStdString(q.caption) + QLatin1Char('|') +
                              QString::fromStdString(q.text);
        if (q.buttons == Buttons::Ok) {
            messages << asked;
            return Answer::Ok;
        }
        questions << asked;
        if (!answers.empty()) {
            const Answer a = answers.front();
            answers.pop_front();
            return a;
        }
        if (q.buttons == Buttons::YesNo) return yesNo;
        if (q.buttons == Buttons::YesNoCancel) return yesNoCancel;
        if (q.buttons == Buttons::OkCancel) return okCancel;
        return abortRetryIgnore;
    }
};

}  // namespace morvane::test
