# The Debian package: "cpack -G DEB" in the build folder writes
# vantric_VERSION_amd64.deb with everything "cmake --install" installs, the
# man page, the copyright file and the changelog. Its Depends are the
# libraries the binaries link (dpkg-shlibdeps) and what that cannot see:
# the caption fonts and Qt's platform plugins, loaded at run time.
include(GNUInstallDirs)

# The project has no public contact address yet: ".invalid" says so, and
# whoever publishes the package gives theirs here.
set(VANTRIC_MAINTAINER "Vantric developers <vantric@example.invalid>" CACHE STRING
    "Maintainer field of the Debian package")

# The man pages, from their own sources, and the changelog, installed
# gzipped without a time stamp.
set(VANTRIC_VERSION ${PROJECT_VERSION})
set(gzipped)
foreach(source resources/vantric.1 resources/vantric-thumbnailer.1 resources/debian/changelog.in)
  get_filename_component(name ${source} NAME)
  string(REGEX REPLACE "\\.in$" "" name ${name})
  configure_file(${PROJECT_SOURCE_DIR}/${source} ${CMAKE_BINARY_DIR}/doc/${name} @ONLY)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/doc/${name}.gz
                     COMMAND gzip -9n -c ${CMAKE_BINARY_DIR}/doc/${name} > ${CMAKE_BINARY_DIR}/doc/${name}.gz
                     DEPENDS ${CMAKE_BINARY_DIR}/doc/${name} VERBATIM)
  list(APPEND gzipped ${CMAKE_BINARY_DIR}/doc/${name}.gz)
endforeach()
add_custom_target(vantric_docs ALL DEPENDS ${gzipped})
install(FILES ${CMAKE_BINARY_DIR}/doc/vantric.1.gz ${CMAKE_BINARY_DIR}/doc/vantric-thumbnailer.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/resources/debian/copyright ${CMAKE_BINARY_DIR}/doc/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vantric)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantric)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${VANTRIC_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "print shooting targets at their exact physical size")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Vantric opens shooting targets (its own target documents, ring targets made
in its Ringdesigner, Windows metafiles, JPEG and BMP images) and prints them
at true size: on one sheet, as a poster over several sheets, scaled to the
page, as several copies per sheet or scaled for a shorter shooting distance.
A calibration sheet and a scale check prove the printed size. It prints from
its window or from the command line, and gives the desktop thumbnails of its
target documents.")
# The desktop entry and the thumbnailer name the installed paths, written
# as the install runs: installing into a staging DESTDIR keeps them the
# package's paths.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
