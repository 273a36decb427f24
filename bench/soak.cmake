# The fault soak of whole-disk runs: a plain program (no benchmark library), run by hand.
add_executable(fault_soak
  FaultSoak.cpp
  soak/SoakDisks.cpp
  soak/SoakFaults.cpp
  soak/SoakReport.cpp)
target_include_directories(fault_soak PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(fault_soak PRIVATE morvane_operations morvane_virtual_controller
  morvane_filesystems morvane_warnings)
