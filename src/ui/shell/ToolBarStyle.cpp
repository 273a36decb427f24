#include "ui/shell/ToolBarStyle.h"

#include <QApplication>

#include "ui/shell/ToolBarIcons.h"

namespace morvane {

ToolBarStyle::ToolBarStyle(const QString& baseKey) : QProxyStyle(baseKey) {}

QIcon ToolBarStyle::standardIcon(StandardPixmap icon, const QStyleOption* option,
                                 const QWidget* widget) const {
    switch (icon) {
        case SP_ToolBarHorizontalExtensionButton:
            return MakeToolIcon(ToolPicture::MoreRight);
        case SP_ToolBarVerticalExtensionButton:
            return MakeToolIcon(ToolPicture::MoreDown);
        default:
            return QProxyStyle::standardIcon(icon, option, widget);
    }
}

void InstallToolBarStyle() {
    // The application owns the style it is given.
    QApplication::setStyle(new ToolBarStyle(QApplication::style()->name()));
}

}  // namespace morvane
