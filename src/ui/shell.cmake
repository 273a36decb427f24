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
# lrelease and built into the library as :/i18n/morvane_en.qm (InstallTranslations names
# the resource, so the linker keeps it). lrelease and rcc are called through plain
# commands: Qt's target-based helpers would make every folder that links this library
# import Qt's platform target.
find_program(MORVANE_LRELEASE NAMES lrelease lrelease-qt6
             HINTS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}" /usr/lib/qt6/bin REQUIRED)
set(morvane_ts ${PROJECT_SOURCE_DIR}/translations/morvane_en.ts)
set(morvane_qm ${CMAKE_CURRENT_BINARY_DIR}/morvane_en.qm)
add_custom_command(OUTPUT ${morvane_qm}
                   COMMAND ${MORVANE_LRELEASE} -silent ${morvane_ts} -qm ${morvane_qm}
                   DEPENDS ${morvane_ts} VERBATIM)
file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/morvane_translations.qrc
     CONTENT "<RCC><qresource prefix=\"/i18n\"><file>morvane_en.qm</file></qresource></RCC>\n")
qt_add_resources(morvane_translations_sources ${CMAKE_CURRENT_BINARY_DIR}/morvane_translations.qrc)
set_source_files_properties(${morvane_translations_sources} PROPERTIES OBJECT_DEPENDS ${morvane_qm})
target_sources(morvane_ui PRIVATE ${morvane_translations_sources})
