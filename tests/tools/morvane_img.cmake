# Tests of the morvane-img command-line tool.
morvane_add_test(morvane_img_tests SOURCES MorvaneImgTest.cpp
  LIBS morvane_img_commands morvane_img_device_verbs)
if(MORVANE_BUILD_GUI)
  morvane_add_test(morvane_img_read_tests SOURCES MorvaneImgReadTest.cpp
    LIBS morvane_img_commands morvane_img_device_verbs)
endif()
if(MORVANE_BUILD_GUI)
  morvane_add_test(morvane_img_write_tests SOURCES MorvaneImgWriteTest.cpp
    LIBS morvane_img_commands morvane_img_device_verbs morvane_filesystems)
endif()
