# What `cmake --install` puts in place, and the Debian package `cpack -G DEB` builds from
# the same rules. Every install rule of the project lives here.
include(GNUInstallDirs)
# Debian names the documentation folder after the package, in lower case.
set(MORVANE_DOCDIR "${CMAKE_INSTALL_DATADIR}/doc/morvane")

# udev reads <prefix>/lib/udev/rules.d, never the multiarch library folder.
set(MORVANE_UDEV_RULES_DIR "lib/udev/rules.d" CACHE STRING
    "Folder of the controller's udev rule, relative to the install prefix")

set(MORVANE_PACKAGE_CONTACT "Morvane maintainers <maintainers@morvane.invalid>" CACHE STRING
    "Maintainer named in the Debian package")

# Manual pages and the changelog are installed gzip-compressed (gzip -9n: no name or time
# stamp inside, so a rebuild gives the same bytes), as Debian wants them.
find_program(MORVANE_GZIP gzip)
set(MORVANE_DOCS_OUT "${CMAKE_BINARY_DIR}/packaging")
function(morvane_install_compressed source destination)
  get_filename_component(name "${source}" NAME)
  if(NOT MORVANE_GZIP)
    install(FILES "${source}" DESTINATION "${destination}")
    return()
  endif()
  set(plain "${MORVANE_DOCS_OUT}/${name}")
  add_custom_command(OUTPUT "${plain}.gz"
                     COMMAND ${CMAKE_COMMAND} -E copy "${source}" "${plain}"
                     COMMAND "${MORVANE_GZIP}" -9nf "${plain}"
                     DEPENDS "${source}" VERBATIM)
  set_property(GLOBAL APPEND PROPERTY MORVANE_COMPRESSED_DOCS "${plain}.gz")
  install(FILES "${plain}.gz" DESTINATION "${destination}")
endfunction()

# The Debian changelog of this version; SOURCE_DATE_EPOCH, when set, fixes its date.
string(TIMESTAMP MORVANE_CHANGELOG_DATE "%a, %d %b %Y 00:00:00 +0000" UTC)
configure_file(packaging/debian/changelog.in "${MORVANE_DOCS_OUT}/in/changelog" @ONLY)

install(TARGETS morvane-img RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
morvane_install_compressed("${PROJECT_SOURCE_DIR}/docs/morvane-img.1"
                           ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES README.md LICENSE packaging/debian/copyright DESTINATION ${MORVANE_DOCDIR})
morvane_install_compressed("${MORVANE_DOCS_OUT}/in/changelog" ${MORVANE_DOCDIR})
if(MORVANE_BUILD_GUI)
  install(TARGETS morvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  morvane_install_compressed("${PROJECT_SOURCE_DIR}/docs/morvane.1"
                             ${CMAKE_INSTALL_MANDIR}/man1)
  # morvane-img starts it for read, write and format (tools/morvane_img.cmake).
  install(TARGETS morvane-img-device RUNTIME DESTINATION ${MORVANE_IMG_DEVICE_DIR})
  install(FILES packaging/morvane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES packaging/morvane.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES packaging/99-morvane-ftdi.rules DESTINATION ${MORVANE_UDEV_RULES_DIR})
endif()
get_property(compressed GLOBAL PROPERTY MORVANE_COMPRESSED_DOCS)
if(compressed)
  add_custom_target(morvane_compressed_docs ALL DEPENDS ${compressed})
endif()

# A fresh install into a folder of the build tree, checked file by file.
if(MORVANE_BUILD_TESTS)
  add_test(NAME install_tree
           COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR}
                   -DPREFIX=${CMAKE_BINARY_DIR}/install-check -DWITH_GUI=${MORVANE_BUILD_GUI}
                   -DDEVICE_DIR=${MORVANE_IMG_DEVICE_DIR}
                   -P ${PROJECT_SOURCE_DIR}/tests/packaging/CheckInstall.cmake)
  set_tests_properties(install_tree PROPERTIES LABELS "install" TIMEOUT 120)
  # The manual page keeps up with the verbs of the tool.
  add_test(NAME morvane_img_man_page
           COMMAND ${CMAKE_COMMAND} -DTOOL=$<TARGET_FILE:morvane-img>
                   -DPAGE=${PROJECT_SOURCE_DIR}/docs/morvane-img.1
                   -P ${PROJECT_SOURCE_DIR}/tests/packaging/CheckManPage.cmake)
  set_tests_properties(morvane_img_man_page PROPERTIES LABELS "install" TIMEOUT 60)
endif()

# Debian package: morvane_<version>_<arch>.deb, installed under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME morvane)
set(CPACK_PACKAGE_VENDOR Morvane)
set(CPACK_PACKAGE_CONTACT "${MORVANE_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ZX Spectrum floppy disks through a USB floppy controller")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Lines of at most 80 characters: the description is read on terminals.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Morvane reads, inspects, repairs, edits and writes ZX Spectrum floppy
disks through a USB floppy controller (an FTDI chip in front of a WD1793),
and converts the disk image files they are kept in (UDI, TRD, TD0, FDI, SCL,
Hobeta and its own UDF). It looks inside TR-DOS and Profi CP/M disks. The
package holds the program with its window, morvane-img for the command line,
and a udev rule that lets the logged-in user open the controller.")
# Library dependencies come from dpkg-shlibdeps; Qt loads its platform plugins (X11 among
# them) at run time, out of dpkg-shlibdeps' sight, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# Qt's own translations put the standard dialogs' buttons in the window's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    "${PROJECT_SOURCE_DIR}/packaging/debian/postinst;${PROJECT_SOURCE_DIR}/packaging/debian/postrm")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
