# Tests of the application shell: settings, menu rules, image commands and the main
# window against the virtual controller, on the offscreen platform.
find_package(Qt6 REQUIRED COMPONENTS Test)
morvane_add_test(ui_shell_tests
  SOURCES
    shell/ShellTestApp.cpp
    shell/SettingsTest.cpp
    shell/SettingsDialogTest.cpp
    shell/MenuRulesTest.cpp
    shell/LoadSaveRulesTest.cpp
    shell/VirtualDriveTest.cpp
    shell/ImageFileCommandsTest.cpp
    shell/UnsavedWorkTest.cpp
    shell/MainWindowTest.cpp
    shell/MainWindowViewsTest.cpp
    shell/PriorityTest.cpp
    shell/ToolBarIconsTest.cpp
    shell/ToolBarStyleTest.cpp
  LIBS morvane_ui Qt6::Test)
target_include_directories(ui_shell_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)

# Not a test: draws the window with an image loaded, for the README's screenshot.
add_executable(shell_screenshot shell/Screenshot.cpp)
target_link_libraries(shell_screenshot PRIVATE morvane_ui morvane_warnings)

# The English translation: complete, in step with the sources, and what the window shows.
find_program(MORVANE_LUPDATE NAMES lupdate lupdate-qt6
             HINTS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}" /usr/lib/qt6/bin REQUIRED)
morvane_add_test(ui_translation_tests
  SOURCES
    shell/ShellTestApp.cpp
    shell/TranslationTest.cpp
  LIBS morvane_ui)
target_include_directories(ui_translation_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_compile_definitions(ui_translation_tests PRIVATE
  MORVANE_SOURCE_DIR="${PROJECT_SOURCE_DIR}" MORVANE_LUPDATE="${MORVANE_LUPDATE}")
# The first window on a 1366 x 768 laptop screen, at the scales people set on such screens.
foreach(scale 1 1.5 2)
  add_test(NAME WindowFit.Laptop1366x768Scale${scale}
           COMMAND ui_translation_tests --gtest_filter=WindowFit.*)
  set_tests_properties(WindowFit.Laptop1366x768Scale${scale} PROPERTIES ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen:configfile=${CMAKE_CURRENT_SOURCE_DIR}/shell/laptop-screen.json;QT_SCALE_FACTOR=${scale}")
endforeach()
