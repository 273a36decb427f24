target_sources(morvane_formats PRIVATE Lzh.cpp Td0.cpp Td0SectorData.cpp)
