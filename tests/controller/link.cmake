set(_link_tests
  ${CMAKE_CURRENT_LIST_DIR}/RxDecoderTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ControllerTextsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UsbPortTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ControllerProtocolTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LinkGuardTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LibFtdiDriverTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UsbReaderTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VirtualControllerLinkTest.cpp)
morvane_add_test(controller_tests
  SOURCES ${_link_tests}
  LIBS morvane_controller morvane_virtual_controller
  QT_MAIN Core)
