// The viewer of a text listing (the BASIC program of "Просмотр BASIC"): the text in a
// read-only pane in a fixed-width font, with buttons that copy it to the clipboard and
// save it to a file.
#pragma once

#include <QDialog>
#include <QtGlobal>

#include <functional>
#include <string_view>

class QPlainTextEdit;

namespace morvane {

inline constexpr std::string_view kListingCopyButton =
    QT_TRANSLATE_NOOP("morvane::Ui", "Копировать");
inline constexpr std::string_view kListingSaveButton =
    QT_TRANSLATE_NOOP("morvane::Ui", "Сохранить...");
inline constexpr std::string_view kListingCloseButton = QT_TRANSLATE_NOOP("morvane::Ui", "Закрыть");
inline constexpr std::string_view kListingSaveTitle =
    QT_TRANSLATE_NOOP("morvane::Ui", "Сохранить листинг");
inline constexpr std::string_view kListingFilter = "Текст (*.txt)|*.txt";

class ListingViewer : public QDialog {
    Q_OBJECT
  public:
    // save: asked to save the text (it chooses the file and says what went wrong).
    ListingViewer(const QString& caption, const QString& text,
                  std::function<void(const QString&)> save, QWidget* parent = nullptr);

    QPlainTextEdit* TextPane() const { return text_; }
    void CopyText() const;
    void SaveText();

  private:
    QPlainTextEdit* text_;
    std::function<void(const QString&)> save_;
};

}  // namespace morvane
