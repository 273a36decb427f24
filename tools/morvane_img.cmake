# morvane-img: command-line companion (info, sectors, convert, read). The image commands are
# plain C++; read drives the controller through the operations layer (QtCore). The
# commands live in a library so the tests can run them.
add_library(morvane_img_commands STATIC morvane-img/MorvaneImg.cpp)
target_include_directories(morvane_img_commands PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/morvane-img)
target_link_libraries(morvane_img_commands PUBLIC morvane_formats PRIVATE morvane_warnings)
if(MORVANE_BUILD_GUI)
  find_package(Qt6 REQUIRED COMPONENTS Core)
  target_sources(morvane_img_commands PRIVATE
    morvane-img/CliOperationHost.cpp
    morvane-img/ReadOptions.cpp
    morvane-img/VerbFormat.cpp
    morvane-img/VerbRead.cpp
    morvane-img/VerbWrite.cpp
    morvane-img/WriteTarget.cpp)
  target_link_libraries(morvane_img_commands PUBLIC
    morvane_operations morvane_controller morvane_virtual_controller morvane_filesystems
    Qt6::Core)
else()
  target_sources(morvane_img_commands PRIVATE morvane-img/VerbReadAbsent.cpp
    morvane-img/VerbWriteAbsent.cpp)
endif()

add_executable(morvane-img morvane-img/main.cpp)
target_link_libraries(morvane-img PRIVATE morvane_img_commands morvane_warnings)
