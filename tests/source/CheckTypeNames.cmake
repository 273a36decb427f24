# Fails when a type of the program carries the old forms' "T" prefix (TTrack, T_Prog):
# a class says what it is, and its file says the same.
# cmake -DSOURCE_DIR=... -P CheckTypeNames.cmake
cmake_minimum_required(VERSION 3.25)
file(GLOB_RECURSE sources "${SOURCE_DIR}/src/*.h" "${SOURCE_DIR}/src/*.cpp"
     "${SOURCE_DIR}/tools/*.h" "${SOURCE_DIR}/tools/*.cpp" "${SOURCE_DIR}/app/*.h"
     "${SOURCE_DIR}/app/*.cpp")
list(LENGTH sources count)
if(count LESS 100)
  message(FATAL_ERROR "too few sources found under ${SOURCE_DIR}: ${count}")
endif()
set(found "")
foreach(source IN LISTS sources)
  file(STRINGS "${source}" lines REGEX "(class|struct|enum|using)[ \t]+T[A-Z_][A-Za-z0-9_]*")
  foreach(line IN LISTS lines)
    if(line MATCHES "(class|struct|enum class|enum|using)[ \t]+(T[A-Z_][A-Za-z0-9_]*)")
      list(APPEND found "${source}: ${CMAKE_MATCH_2}")
    endif()
  endforeach()
endforeach()
if(found)
  list(JOIN found "\n" text)
  message(FATAL_ERROR "types with the T prefix:\n${text}")
endif()
