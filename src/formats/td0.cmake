target_sources(morvane_formats PRIVATE
  Lzh.cpp
  LzhTree.cpp
  LzhEncoder.cpp
  Td0.cpp
  Td0SectorData.cpp
  Td0SectorEncoder.cpp
  Td0Writer.cpp)
