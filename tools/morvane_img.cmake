# morvane-img: command-line companion (info, sectors, convert, read, write, format). The
# image commands are plain C++. The controller verbs (read, write, format) drive the
# controller through the operations layer, which needs QtCore; they run in a companion
# program, morvane-img-device, which morvane-img starts in its place for those verbs only,
# so the image commands never load QtCore and its libraries. The commands live in
# libraries so the tests can run them.
add_library(morvane_img_commands STATIC morvane-img/MorvaneImg.cpp morvane-img/VerbMerge.cpp)
target_include_directories(morvane_img_commands PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/morvane-img)
target_link_libraries(morvane_img_commands PUBLIC morvane_image_files PRIVATE morvane_warnings)

# morvane_img_device_verbs: what read, write and format really do. Tests and the companion
# program link it next to morvane_img_commands.
if(MORVANE_BUILD_GUI)
  find_package(Qt6 REQUIRED COMPONENTS Core)
  target_sources(morvane_img_commands PRIVATE morvane-img/DeviceVerbUsage.cpp)
  add_library(morvane_img_device_verbs STATIC
    morvane-img/CliOperationHost.cpp
    morvane-img/ReadOptions.cpp
    morvane-img/VerbDevices.cpp
    morvane-img/VerbFormat.cpp
    morvane-img/VerbRead.cpp
    morvane-img/VerbWrite.cpp
    morvane-img/WriteTarget.cpp)
  target_link_libraries(morvane_img_device_verbs PUBLIC
    morvane_img_commands morvane_operations morvane_controller morvane_virtual_controller
    morvane_filesystems Qt6::Core PRIVATE morvane_warnings)

  # Where the companion program lies relative to morvane-img, the same in the build tree
  # and wherever the install tree is put.
  include(GNUInstallDirs)
  # cmake/Install.cmake installs it there.
  set(MORVANE_IMG_DEVICE_DIR "${CMAKE_INSTALL_LIBEXECDIR}/morvane" CACHE INTERNAL
      "Folder of morvane-img-device, relative to the install prefix")
  file(RELATIVE_PATH _morvane_device_relative "${CMAKE_INSTALL_FULL_BINDIR}"
       "${CMAKE_INSTALL_PREFIX}/${MORVANE_IMG_DEVICE_DIR}")

  add_library(morvane_img_device_exec STATIC morvane-img/DeviceVerbExec.cpp)
  target_link_libraries(morvane_img_device_exec PUBLIC morvane_img_commands
    PRIVATE morvane_warnings)
  target_compile_definitions(morvane_img_device_exec PRIVATE
    MORVANE_IMG_DEVICE_PATH="${_morvane_device_relative}/morvane-img-device")

  add_executable(morvane-img-device morvane-img/main.cpp)
  target_link_libraries(morvane-img-device PRIVATE morvane_img_commands
    morvane_img_device_verbs morvane_warnings)
  set_target_properties(morvane-img-device PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}/${_morvane_device_relative}")
  set(_morvane_img_device_link morvane_img_device_exec)
else()
  target_sources(morvane_img_commands PRIVATE morvane-img/VerbReadAbsent.cpp
    morvane-img/VerbWriteAbsent.cpp morvane-img/VerbDevicesAbsent.cpp)
  add_library(morvane_img_device_verbs INTERFACE)
  set(_morvane_img_device_link "")
endif()

add_executable(morvane-img morvane-img/main.cpp)
target_link_libraries(morvane-img PRIVATE morvane_img_commands ${_morvane_img_device_link}
  morvane_warnings)
