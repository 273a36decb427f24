morvane_add_test(native_tests
  SOURCES NativeTest.cpp
  LIBS morvane_formats)
