morvane_add_test(controller_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/QtTestMain.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RxDecoderTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ControllerTextsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UsbPortTest.cpp
  LIBS morvane_controller)
