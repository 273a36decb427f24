# Start-up to a shown main window, against a bare Qt main window; and the disk map's
# full repaint.
find_package(Qt6 REQUIRED COMPONENTS Widgets)

add_executable(startup_bench StartupBench.cpp)
target_include_directories(startup_bench PRIVATE ${PROJECT_SOURCE_DIR}/app)
target_link_libraries(startup_bench PRIVATE Qt6::Core morvane_warnings)

add_executable(bare_main_window BareMainWindow.cpp ${PROJECT_SOURCE_DIR}/app/QuitWhenShown.cpp)
target_include_directories(bare_main_window PRIVATE ${PROJECT_SOURCE_DIR}/app)
target_link_libraries(bare_main_window PRIVATE Qt6::Widgets morvane_warnings)

morvane_add_bench(bench_map_paint SOURCES MapPaintBench.cpp LIBS morvane_ui_views)
