morvane_add_test(native_tests
  SOURCES NativeTest.cpp ImageFilesTest.cpp CorpusTest.cpp
  LIBS morvane_image_files)
