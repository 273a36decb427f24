# Tests of the filesystem verbs of morvane-img.
morvane_add_test(morvane_img_filesystems_tests SOURCES FilesystemVerbsTest.cpp AddVerbsTest.cpp FileVerbsTest.cpp
  UserFilesTest.cpp
  LIBS morvane_img_commands morvane_img_device_verbs)
# Our tape files and listings against tzxlist and listbasic (fuse-emulator-utils).
morvane_add_test(morvane_img_tape_tools_tests SOURCES TapeToolsTest.cpp
  LIBS morvane_img_commands morvane_img_device_verbs)
