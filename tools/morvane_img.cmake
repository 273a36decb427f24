# morvane-img: command-line companion (info, sectors, convert), plain C++ without Qt. The
# commands live in a library so the tests can run them.
add_library(morvane_img_commands STATIC morvane-img/MorvaneImg.cpp)
target_include_directories(morvane_img_commands PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/morvane-img)
target_link_libraries(morvane_img_commands PUBLIC morvane_formats PRIVATE morvane_warnings)

add_executable(morvane-img morvane-img/main.cpp)
target_link_libraries(morvane-img PRIVATE morvane_img_commands morvane_warnings)
