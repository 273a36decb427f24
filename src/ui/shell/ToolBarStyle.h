// The application's style with drawn chevrons on tool bars' extension buttons. Every
// QToolBar asks the style for that picture while it is built, and the stock one is read
// from an image file, which loads every image-format plugin and searches the icon theme
// before the main window can show. Everything else is the platform's style.
#pragma once

#include <QProxyStyle>

namespace morvane {

class ToolBarStyle : public QProxyStyle {
    Q_OBJECT

  public:
    // `baseKey` names the style to forward to, as QStyleFactory knows it.
    explicit ToolBarStyle(const QString& baseKey);

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

// Makes the application's current style the base of a ToolBarStyle and installs that.
void InstallToolBarStyle();

}  // namespace morvane
