#include "ui/shell/ToolBarStyle.h"

#include <QApplication>
#include <QImage>
#include <QStyleFactory>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

#include "ui/shell/ToolBarIcons.h"

namespace morvane {
namespace {

QImage Image(const QIcon& icon) {
    return icon.pixmap(QSize(16, 16)).toImage();
}

TEST(ToolBarStyle, ExtensionButtonsGetDrawnChevrons) {
    ToolBarStyle style(QStringLiteral("fusion"));
    EXPECT_EQ(Image(style.standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton)),
              Image(MakeToolIcon(ToolPicture::MoreRight)));
    EXPECT_EQ(Image(style.standardIcon(QStyle::SP_ToolBarVerticalExtensionButton)),
              Image(MakeToolIcon(ToolPicture::MoreDown)));
}

TEST(ToolBarStyle, OtherPicturesComeFromTheBaseStyle) {
    ToolBarStyle style(QStringLiteral("fusion"));
    const std::unique_ptr<QStyle> base(QStyleFactory::create(QStringLiteral("fusion")));
    for (QStyle::StandardPixmap icon : {QStyle::SP_TitleBarCloseButton, QStyle::SP_ArrowUp})
        EXPECT_EQ(Image(style.standardIcon(icon)), Image(base->standardIcon(icon)));
    EXPECT_EQ(style.baseStyle()->name(), base->name());
}

TEST(ToolBarStyle, InstalledStyleKeepsTheApplicationsStyleAndServesToolBars) {
    const QString before = QApplication::style()->name();
    InstallToolBarStyle();
    const auto* installed = qobject_cast<ToolBarStyle*>(QApplication::style());
    ASSERT_NE(installed, nullptr);
    EXPECT_EQ(installed->baseStyle()->name(), before);

    QToolBar bar;
    const auto* extension = bar.findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"));
    ASSERT_NE(extension, nullptr);
    EXPECT_EQ(Image(extension->icon()), Image(MakeToolIcon(ToolPicture::MoreRight)));
    // The other tests of this program run with the platform's style as before.
    QApplication::setStyle(before);
}

}  // namespace
}  // namespace morvane
