# TRD, UDI and FDI readers and writers, the UDI track builder and sector finder.
morvane_add_test(images_tests
  SOURCES
    TrdTest.cpp
    UdiTest.cpp
    UdiTrackBuilderTest.cpp
    UdiSectorFinderTest.cpp
    FdiTest.cpp
    FdiWriterTest.cpp
    DiskCommentTest.cpp
  LIBS morvane_formats)
