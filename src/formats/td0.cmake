# TD0 (TeleDisk) images and their LZH compression, in td0/.
target_sources(morvane_formats PRIVATE
  td0/Lzh.cpp
  td0/LzhTree.cpp
  td0/LzhEncoder.cpp
  td0/Td0.cpp
  td0/Td0SectorData.cpp
  td0/Td0SectorEncoder.cpp
  td0/Td0Writer.cpp)
