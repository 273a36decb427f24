// The message boxes the window asks with: a question that writes to a disk offers OK and
// Cancel with Cancel the default, so neither Escape nor Enter writes; only the OK button.
#include "ui/views/MessageBoxAsker.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace morvane {
namespace {

struct BoxCase {
    const char* name;
    Buttons buttons;
    std::function<void(QMessageBox&)> user;
    Answer expected;
};

void Press(QMessageBox& box, Qt::Key key) {
    QTest::keyClick(&box, key);
}

TEST(MessageBoxAsker, CancelIsTheDefaultAndTheEscapeOfADiskWriteQuestion) {
    const BoxCase cases[] = {
        {"OK/Cancel, Escape", Buttons::OkCancel, [](QMessageBox& b) { Press(b, Qt::Key_Escape); },
         Answer::Cancel},
        {"OK/Cancel, Enter", Buttons::OkCancel, [](QMessageBox& b) { Press(b, Qt::Key_Return); },
         Answer::Cancel},
        {"OK/Cancel, the OK button", Buttons::OkCancel,
         [](QMessageBox& b) { b.button(QMessageBox::Ok)->click(); }, Answer::Ok},
        {"OK/Cancel, closed", Buttons::OkCancel, [](QMessageBox& b) { b.close(); }, Answer::Cancel},
        {"Yes/No/Cancel, Escape", Buttons::YesNoCancel,
         [](QMessageBox& b) { Press(b, Qt::Key_Escape); }, Answer::Cancel},
        {"Yes/No, Escape", Buttons::YesNo, [](QMessageBox& b) { Press(b, Qt::Key_Escape); },
         Answer::No},
    };
    QWidget parent;
    MessageBoxAsker asker(&parent);
    for (const BoxCase& c : cases) {
        SCOPED_TRACE(c.name);
        bool shown = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            shown = box != nullptr;
            if (box != nullptr) c.user(*box);
        });
        const Answer answer = asker.Ask({.caption = kCaptionAttention,
                                         .text = "Записать образ на диск в дисководе A:?",
                                         .buttons = c.buttons});
        EXPECT_TRUE(shown);
        EXPECT_EQ(answer, c.expected);
    }
}

}  // namespace
}  // namespace morvane
