// The message boxes of the main window. The window asks through this interface, so tests
// answer with a script instead of a box on screen.
#pragma once

#include <QString>

class QWidget;

namespace morvane {

class UserDialogs {
  public:
    enum class Kind { Error, Attention, Information };
    enum class ReadErrorAnswer { Abort, Retry, Ignore };
    enum class Answer { Yes, No, Cancel };

    virtual ~UserDialogs() = default;
    virtual void Message(Kind kind, const QString& caption, const QString& text) = 0;
    virtual bool YesNo(const QString& caption, const QString& text) = 0;
    virtual ReadErrorAnswer AbortRetryIgnore(const QString& caption, const QString& text) = 0;
    // A Yes/No/Cancel box. Scripted dialogs that do not answer it say No, so the actions
    // they drive go on as they did before the question existed.
    virtual Answer YesNoCancel(const QString& caption, const QString& text) {
        (void)caption;
        (void)text;
        return Answer::No;
    }
};

// QMessageBox with the given caption and text, parented to the window.
class MessageBoxDialogs : public UserDialogs {
  public:
    explicit MessageBoxDialogs(QWidget* parent) : parent_(parent) {}
    void Message(Kind kind, const QString& caption, const QString& text) override;
    bool YesNo(const QString& caption, const QString& text) override;
    ReadErrorAnswer AbortRetryIgnore(const QString& caption, const QString& text) override;
    Answer YesNoCancel(const QString& caption, const QString& text) override;

  private:
    QWidget* parent_;
};

// The kind of box a caption stands for: "Ошибка..." boxes are errors, "Внимание..." ones
// warnings.
UserDialogs::Kind KindForCaption(const QString& caption);

}  // namespace morvane
