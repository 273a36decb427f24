# Installs the build tree BUILD_DIR into a fresh PREFIX and checks that every installed
# file is in its place and that the command-line program runs from there.
# cmake -DBUILD_DIR=... -DPREFIX=... -DWITH_GUI=ON|OFF -P CheckInstall.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${result}):\n${output}")
endif()

# Manual pages and the changelog are gzip-compressed where gzip was found ("path[.gz]").
set(expected bin/morvane-img share/man/man1/morvane-img.1[.gz] share/doc/morvane/README.md
    share/doc/morvane/LICENSE share/doc/morvane/copyright share/doc/morvane/changelog[.gz])
if(WITH_GUI)
  list(APPEND expected bin/morvane share/man/man1/morvane.1[.gz]
       share/applications/morvane.desktop share/icons/hicolor/scalable/apps/morvane.svg
       lib/udev/rules.d/99-morvane-ftdi.rules ${DEVICE_DIR}/morvane-img-device)
endif()
foreach(path IN LISTS expected)
  string(REPLACE "[.gz]" "" plain "${path}")
  if(NOT EXISTS "${PREFIX}/${plain}" AND NOT EXISTS "${PREFIX}/${plain}.gz")
    message(FATAL_ERROR "not installed: ${plain}")
  endif()
endforeach()

execute_process(COMMAND "${PREFIX}/bin/morvane-img" --help RESULT_VARIABLE result
                OUTPUT_VARIABLE usage ERROR_VARIABLE errors)
if(NOT result EQUAL 0 OR NOT usage MATCHES "usage: morvane-img")
  message(FATAL_ERROR "installed morvane-img --help failed (${result}):\n${usage}${errors}")
endif()

# The image verbs start without Qt: morvane-img itself must not need QtCore.
file(GET_RUNTIME_DEPENDENCIES EXECUTABLES "${PREFIX}/bin/morvane-img"
     RESOLVED_DEPENDENCIES_VAR libraries UNRESOLVED_DEPENDENCIES_VAR unresolved)
foreach(library IN LISTS libraries unresolved)
  if(library MATCHES "Qt[0-9]*Core")
    message(FATAL_ERROR "installed morvane-img links ${library}")
  endif()
endforeach()

# The controller verbs run in the companion program; from the install tree too, with the
# emulated controller: format a disk, read it back, write the result.
if(WITH_GUI)
  set(scratch "${PREFIX}/check")
  file(MAKE_DIRECTORY "${scratch}")
  foreach(verb IN ITEMS "format;trdos;--virtual-out;${scratch}/formatted.trd"
                        "read;--virtual;${scratch}/formatted.trd;${scratch}/read.trd"
                        "write;${scratch}/read.trd;--virtual-out;${scratch}/written.trd")
    execute_process(COMMAND "${PREFIX}/bin/morvane-img" ${verb} RESULT_VARIABLE result
                    OUTPUT_VARIABLE output ERROR_VARIABLE errors)
    if(NOT result EQUAL 0)
      message(FATAL_ERROR "installed morvane-img ${verb} failed (${result}):\n${output}${errors}")
    endif()
  endforeach()
  file(SHA256 "${scratch}/formatted.trd" formatted)
  file(SHA256 "${scratch}/written.trd" written)
  if(NOT formatted STREQUAL written)
    message(FATAL_ERROR "installed morvane-img: the disk read and written back differs")
  endif()
endif()

# The menu entry must start the installed program and find the installed icon.
if(WITH_GUI)
  file(STRINGS "${PREFIX}/share/applications/morvane.desktop" entry)
  if(NOT "Exec=morvane" IN_LIST entry OR NOT "Icon=morvane" IN_LIST entry)
    message(FATAL_ERROR "morvane.desktop does not name the program and icon morvane")
  endif()
endif()
message(STATUS "installed and checked under ${PREFIX}")
