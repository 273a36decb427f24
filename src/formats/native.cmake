# The native .udf image and the one table that maps image formats to readers and writers.
target_sources(morvane_formats PRIVATE Native.cpp ImageFiles.cpp)
