// How every part of the program asks the user something: one question (caption, text and
// the buttons offered) and one answer. The window answers with a message box, the command
// line from its options, the tests from a script. The caption and the text are named
// fields, so a call cannot swap them.
#pragma once

#include <string>

namespace morvane {

// OkCancel asks before a change that cannot be undone (writing a disk): Cancel is the
// default button and the answer to Escape or to closing the box.
enum class Buttons { Ok, YesNo, YesNoCancel, AbortRetryIgnore, OkCancel };
enum class Answer { Ok, Yes, No, Cancel, Abort, Retry, Ignore };

struct Question {
    std::string caption;
    std::string text;
    Buttons buttons = Buttons::Ok;
};

class UserAsker {
  public:
    virtual ~UserAsker() = default;
    virtual Answer Ask(const Question& question) = 0;
};

// The captions the boxes carry. A box's icon follows its caption: "Ошибка..." an error,
// "Внимание..." a warning.
inline constexpr const char* kCaptionError = "Ошибка!";
inline constexpr const char* kCaptionErrorDots = "Ошибка..!";
inline constexpr const char* kCaptionAttention = "Внимание!";
inline constexpr const char* kCaptionAttentionDots = "Внимание..!";
inline constexpr const char* kCaptionReadError = "Ошибка чтения";

}  // namespace morvane
