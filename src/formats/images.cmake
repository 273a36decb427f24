# TRD, UDI and FDI images, the disk comment of the sector formats (TD0 and FDI), and the
# UDI track builder shared with the views and the virtual controller (UDI in udi/).
target_sources(morvane_formats PRIVATE
  DiskComment.cpp
  Trd.cpp
  udi/Udi.cpp
  udi/UdiSectorFinder.cpp
  udi/UdiTrackBuilder.cpp
  Fdi.cpp)
