# The application shell: the main window, its commands and the settings.
add_library(morvane_ui STATIC
  shell/CatalogueCommands.cpp
  shell/ControllerLink.cpp
  shell/FileChooser.cpp
  shell/FormatsFileIo.cpp
  shell/ImageChangeTracker.cpp
  shell/ImageFileCommands.cpp
  shell/Language.cpp
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
# The English translation: translations/morvane_en.ts (Russian source texts) compiled by
# lrelease and built into the program as :/i18n/morvane_en.qm.
find_package(Qt6 REQUIRED COMPONENTS LinguistTools)
qt_add_lrelease(morvane_ui TS_FILES ${PROJECT_SOURCE_DIR}/translations/morvane_en.ts
                QM_FILES_OUTPUT_VARIABLE morvane_qm_files)
qt_add_resources(morvane_ui morvane_translations PREFIX /i18n BASE ${CMAKE_CURRENT_BINARY_DIR}
                 FILES ${morvane_qm_files})
