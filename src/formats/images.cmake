# TRD, UDI and FDI images, and the UDI track builder shared with the views and the
# virtual controller.
target_sources(morvane_formats PRIVATE
  Trd.cpp
  Udi.cpp
  UdiSectorFinder.cpp
  UdiTrackBuilder.cpp
  Fdi.cpp)
