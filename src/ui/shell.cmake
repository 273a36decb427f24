# The application shell: the main window, its commands and the settings.
add_library(morvane_ui STATIC
  shell/CatalogueCommands.cpp
  shell/ControllerLink.cpp
  shell/FileChooser.cpp
  shell/FormatsFileIo.cpp
  shell/ImageChangeTracker.cpp
  shell/ImageFileCommands.cpp
  shell/LinkCommands.cpp
  shell/LoadSaveRules.cpp
  shell/MainMenus.cpp
  shell/MainWindow.cpp
  shell/MainWindowLayout.cpp
  shell/MenuRules.cpp
  shell/WindowPlacement.cpp
  shell/PaneSplitter.cpp
  shell/Priority.cpp
  shell/Settings.cpp
  shell/SettingsDialog.cpp
  shell/ToolBarIcons.cpp
  shell/ToolBarStyle.cpp
  shell/VirtualDrive.cpp
  shell/WindowHosts.cpp
  shell/WindowViews.cpp
  shell/WidgetCatalogueDialogs.cpp
)
set_target_properties(morvane_ui PROPERTIES AUTOMOC ON)
target_include_directories(morvane_ui PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(morvane_ui
  PUBLIC Qt6::Widgets morvane_ui_views morvane_ui_catalogue morvane_controller morvane_virtual_controller
         morvane_image_files morvane_formats morvane_model
  PRIVATE morvane_warnings)
