# Tests of the views and editors (offscreen Qt).
find_package(Qt6 REQUIRED COMPONENTS Test)
morvane_add_test(ui_views_tests SOURCES
  views/MapCellsTest.cpp
  views/MapCellCacheTest.cpp
  views/MapMenuRulesTest.cpp
  views/DiskMapViewTest.cpp
  views/HexViewTest.cpp
  views/SectorViewRulesTest.cpp
  views/SectorViewTest.cpp
  views/SectorEditorsTest.cpp
  views/ScreenViewerTest.cpp
  views/MessageBoxAskerTest.cpp
  LIBS morvane_ui_views Qt6::Test
  QT_MAIN Widgets)
# The screen viewer's zoom on a 1366 x 768 laptop screen at the scales people set on such
# screens, and on a large screen where 4x fits.
foreach(scale 1 1.5 2)
  add_test(NAME ScreenViewerZoom.Laptop1366x768Scale${scale}
           COMMAND ui_views_tests --gtest_filter=ScreenViewerTest.Zoom*)
  set_tests_properties(ScreenViewerZoom.Laptop1366x768Scale${scale} PROPERTIES ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen:configfile=${CMAKE_CURRENT_SOURCE_DIR}/shell/laptop-screen.json;QT_SCALE_FACTOR=${scale}")
endforeach()
add_test(NAME ScreenViewerZoom.Large1920x1200
         COMMAND ui_views_tests --gtest_filter=ScreenViewerTest.Zoom*)
set_tests_properties(ScreenViewerZoom.Large1920x1200 PROPERTIES ENVIRONMENT
  "QT_QPA_PLATFORM=offscreen:configfile=${CMAKE_CURRENT_SOURCE_DIR}/views/large-screen.json")
