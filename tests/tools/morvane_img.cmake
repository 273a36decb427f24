# Tests of the morvane-img command-line tool.
morvane_add_test(morvane_img_tests SOURCES MorvaneImgTest.cpp MorvaneImgMergeTest.cpp
  LIBS morvane_img_commands morvane_img_device_verbs)
if(MORVANE_BUILD_GUI)
  morvane_add_test(morvane_img_read_tests SOURCES MorvaneImgReadTest.cpp
    LIBS morvane_img_commands morvane_img_device_verbs)
  # A few cases run the program itself, to send it signals.
  target_compile_definitions(morvane_img_read_tests PRIVATE
    MORVANE_IMG_PATH="$<TARGET_FILE:morvane-img>")
  add_dependencies(morvane_img_read_tests morvane-img morvane-img-device)
endif()
if(MORVANE_BUILD_GUI)
  morvane_add_test(morvane_img_write_tests SOURCES MorvaneImgWriteTest.cpp
    LIBS morvane_img_commands morvane_img_device_verbs morvane_filesystems)
endif()
