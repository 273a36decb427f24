# Tests of the main window's disk commands: the progress window, and every disk item run
# against the virtual controller, on the offscreen platform.
morvane_add_test(ui_shell_operations_tests
  SOURCES
    shell/ShellTestApp.cpp
    shell/ProgressWindowTest.cpp
    shell/DiskCommandsTest.cpp
  LIBS morvane_ui)
target_include_directories(ui_shell_operations_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)

# Not a test: grabs the progress window during a run, for the README's screenshot.
add_executable(progress_screenshot shell/ProgressScreenshot.cpp)
target_link_libraries(progress_screenshot PRIVATE morvane_ui morvane_warnings)

# Not a test: the map with recovered sectors after the recovery passes, for the README.
add_executable(recovery_screenshot shell/RecoveryScreenshot.cpp)
target_link_libraries(recovery_screenshot PRIVATE morvane_ui morvane_warnings)
