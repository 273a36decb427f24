# TRD, UDI and FDI images, and the UDI track builder shared with the views and the
# virtual controller (UDI in udi/).
target_sources(morvane_formats PRIVATE
  Trd.cpp
  udi/Udi.cpp
  udi/UdiSectorFinder.cpp
  udi/UdiTrackBuilder.cpp
  Fdi.cpp)
