# The native .udf image.
target_sources(morvane_formats PRIVATE Native.cpp)
