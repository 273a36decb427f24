# The emulated controller: a WD1793 with two drives behind the FTDI driver interface.
# Plain C++; it needs only the driver header of this folder. Its demonstration disk is a
# TR-DOS image built by the filesystems layer.
add_library(morvane_virtual_controller STATIC
  virtual/AnswerStream.cpp
  virtual/CommandDispatch.cpp
  virtual/CommandFrame.cpp
  virtual/DemoDisk.cpp
  virtual/DemoScreen.cpp
  virtual/DiskImageBridge.cpp
  virtual/FormatTable.cpp
  virtual/MediaFaults.cpp
  virtual/RawTrack.cpp
  virtual/SectorAccess.cpp
  virtual/TrackScan.cpp
  virtual/VirtualController.cpp
  virtual/VirtualDisk.cpp
  virtual/Wd1793.cpp
)
target_include_directories(morvane_virtual_controller PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(morvane_virtual_controller
  PUBLIC morvane_image_files morvane_formats morvane_model
  PRIVATE morvane_filesystems morvane_warnings)
