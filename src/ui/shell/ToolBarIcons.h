// The tool bar's pictures, drawn in code. Looking pictures up in the desktop's icon theme
// searches its folders and loads every image-format plugin, which would hold up the first
// showing of the main window; drawn pictures cost nothing until a button paints them and
// look the same on every desktop.
#pragma once

#include <QIcon>

namespace morvane {

// The last two are the chevrons of a tool bar's button for the actions that do not fit.
enum class ToolPicture { Save, SaveUdi, Clear, ScanAndRead, MoreRight, MoreDown };

QIcon MakeToolIcon(ToolPicture picture);

}  // namespace morvane
