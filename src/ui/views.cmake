# The views and editors: disk map, hex view, sector view with its dialogs, screen viewer.
add_library(morvane_ui_views STATIC
  views/DiskMapView.cpp
  views/HexText.cpp
  views/HexView.cpp
  views/LayerTexts.cpp
  views/MapCellCache.cpp
  views/MapCells.cpp
  views/MapLegend.cpp
  views/MapMenuRules.cpp
  views/MapTiles.cpp
  views/MessageBoxAsker.cpp
  views/OemText.cpp
  views/ScreenViewer.cpp
  views/SectorEditor.cpp
  views/SectorHeaderEditor.cpp
  views/SectorView.cpp
  views/SectorViewRules.cpp
  views/ShownRawTrack.cpp
  views/ShownText.cpp
  views/ZxScreen.cpp
)
set_target_properties(morvane_ui_views PROPERTIES AUTOMOC ON)
target_include_directories(morvane_ui_views PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(morvane_ui_views PUBLIC Qt6::Widgets morvane_model morvane_formats
                      PRIVATE morvane_warnings)
