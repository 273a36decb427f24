# Tests of the emulated controller.
morvane_add_test(virtual_controller_tests
  SOURCES
    virtual/AnswerStreamTest.cpp
    virtual/CommandFrameTest.cpp
    virtual/CorpusImageTest.cpp
    virtual/DemoDiskTest.cpp
    virtual/DiskImageBridgeTest.cpp
    virtual/FaultInjectionTest.cpp
    virtual/FormatTableTest.cpp
    virtual/MediaFaultsTest.cpp
    virtual/RawTrackTest.cpp
    virtual/SectorAccessTest.cpp
    virtual/TimingTest.cpp
    virtual/VirtualControllerConformanceTest.cpp
    virtual/Wd1793Test.cpp
  LIBS morvane_virtual_controller morvane_formats morvane_model)
