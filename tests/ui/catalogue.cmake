# Tests of the catalogue windows and of the main window's catalogue commands, with
# scripted dialogs, on the offscreen platform.
morvane_add_test(ui_catalogue_tests
  SOURCES
    catalogue/TrDosCatalogueWindowTest.cpp
    catalogue/TrDosExportsTest.cpp
    catalogue/CpmCatalogueWindowTest.cpp
    catalogue/CpmCatalogueEditingTest.cpp
    catalogue/TrDosAddFilesTest.cpp
    catalogue/CatalogueCommandsTest.cpp
    catalogue/ZxCatalogueFromDiskTest.cpp
    catalogue/TrDosWindowRulesTest.cpp
    catalogue/TrDosFileTransfersTest.cpp
    catalogue/CpmWindowRulesTest.cpp
  LIBS morvane_ui
  QT_MAIN Widgets)

# Not a test: draws the TR-DOS catalogue window of an image, for the README's screenshot.
add_executable(catalogue_screenshot catalogue/CatalogueScreenshot.cpp)
target_include_directories(catalogue_screenshot PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(catalogue_screenshot PRIVATE morvane_ui_catalogue morvane_formats
                      morvane_warnings)

# Not a test: draws the BASIC listing viewer of a file, for the README's screenshot.
add_executable(basic_listing_screenshot catalogue/BasicListingScreenshot.cpp)
target_link_libraries(basic_listing_screenshot PRIVATE morvane_ui_catalogue morvane_formats
                      morvane_warnings)
