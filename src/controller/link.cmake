# The controller link: USB port, receive decoder, drivers and the command protocol.
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBFTDI1 REQUIRED IMPORTED_TARGET libftdi1)

add_library(morvane_controller STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ControllerCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ControllerProtocol.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DeviceErrorText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LibFtdiDriver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RxDecoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StatusText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UsbPort.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UsbReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ControllerProtocol.h
  ${CMAKE_CURRENT_LIST_DIR}/UsbPort.h
)
target_include_directories(morvane_controller PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(morvane_controller
  PUBLIC Qt6::Core morvane_model
  PRIVATE PkgConfig::LIBFTDI1 morvane_warnings)
set_target_properties(morvane_controller PROPERTIES AUTOMOC ON)
