# Folders shared by several areas (formats, benchmarks, fuzzing) list their targets and
# sources in one small *.cmake fragment per area; the folder's CMakeLists includes them
# all, in name order.
macro(morvane_include_fragments)
  file(GLOB _morvane_fragments CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cmake")
  list(SORT _morvane_fragments)
  foreach(_fragment IN LISTS _morvane_fragments)
    include(${_fragment})
  endforeach()
endmacro()
