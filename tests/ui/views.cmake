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
  LIBS morvane_ui_views Qt6::Test
  QT_MAIN Widgets)
