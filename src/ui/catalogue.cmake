# The catalogue windows of the TR-DOS and Profi CP/M filesystems and their dialogs.
add_library(morvane_ui_catalogue STATIC
  catalogue/CatalogueDialogs.cpp
  catalogue/CpmCatalogueEditing.cpp
  catalogue/CpmCatalogueWindow.cpp
  catalogue/CpmWindowRules.cpp
  catalogue/DiskNameDialog.cpp
  catalogue/EntryHeaderDialog.cpp
  catalogue/ListingViewer.cpp
  catalogue/TrDosAddFiles.cpp
  catalogue/TrDosCatalogueWindow.cpp
  catalogue/TrDosExports.cpp
  catalogue/TrDosFileTransfers.cpp
  catalogue/TrDosWindowRules.cpp
  catalogue/ZxCatalogueFromDisk.cpp
)
set_target_properties(morvane_ui_catalogue PROPERTIES AUTOMOC ON)
target_include_directories(morvane_ui_catalogue PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(morvane_ui_catalogue PUBLIC Qt6::Widgets morvane_ui_views morvane_image_files morvane_filesystems morvane_operations morvane_model
                      PRIVATE morvane_warnings)
