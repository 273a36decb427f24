# The fault soak of whole-disk runs: a plain program (no benchmark library). It is also a
# ctest entry labelled "soak", which the default test run leaves out (scripts/test.sh runs
# `ctest -LE soak`); `ctest -L soak` runs it. A Release run takes under a minute, a Debug
# run up to half an hour on a loaded machine.
add_executable(fault_soak
  FaultSoak.cpp
  soak/SoakDisks.cpp
  soak/SoakFaults.cpp
  soak/SoakReport.cpp)
target_include_directories(fault_soak PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(fault_soak PRIVATE morvane_operations morvane_virtual_controller
  morvane_filesystems morvane_warnings)
if(MORVANE_BUILD_TESTS)
  add_test(NAME fault_soak COMMAND fault_soak)
  set_tests_properties(fault_soak PROPERTIES LABELS "soak" TIMEOUT 7200
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endif()
