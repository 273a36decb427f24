morvane_add_test(td0_tests
  SOURCES
    LzhTest.cpp
    LzhEncoderTest.cpp
    Td0Test.cpp
    Td0CorpusTest.cpp
    Td0WriterTest.cpp
  LIBS morvane_formats)
