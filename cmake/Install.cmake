# Installation as a desktop program, and the Debian package built from it
# with `cpack -G DEB` (scripts/package).

include(GNUInstallDirs)

# The man page carries the project version, so it is filled in here rather
# than kept by hand.
configure_file(${CMAKE_SOURCE_DIR}/packaging/propclear.1
               ${CMAKE_BINARY_DIR}/packaging/propclear.1 @ONLY)

install(TARGETS propclear RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The desktop front end, in a folder of its own: nothing but the program loads it.
if(TARGET propclear_desktop)
  install(TARGETS propclear_desktop LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/propclear)
endif()
# The bundled rule sets, where the program looks for them.
install(FILES ${PROPCLEAR_RULE_FILES} DESTINATION ${PROPCLEAR_RULES_INSTALL_DIR})
install(FILES ${CMAKE_BINARY_DIR}/packaging/propclear.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/propclear.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The design file's MIME type, so that a double-clicked .TSK opens the studio.
install(FILES ${CMAKE_SOURCE_DIR}/packaging/propclear-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME propclear.xml)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/propclear.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE
              ${CMAKE_SOURCE_DIR}/CHANGELOG.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
# The documentation and its figures, where the README's links look for them.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs)

set(CPACK_GENERATOR DEB)
# The package installs under /usr. The program loads its desktop module from
# the prefix it was built for and from nowhere else, so the package is built
# from a tree configured with the prefix /usr (scripts/package does).
set(CPACK_PACKAGE_NAME propclear)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The propclear developers")
set(CPACK_PACKAGE_CONTACT "propclear developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
"propclear reads a stern design (propeller centre, waterline, propeller data,
rudder corners and stern frame contour), builds the side-view outline of a
four-bladed Wageningen B-series blade and measures the six clearances between
the blade, the stern frame and the rudder. It draws the stern in a window,
asks whether the geometry is wrong, then writes a CAD command script that
redraws it and a fixed-format text report for class approval.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${CMAKE_SOURCE_DIR}/README.md)
set(CPACK_STRIP_FILES ON)

# propclear_<version>_<arch>.deb, installing under /usr.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# No address until the project has one: a made-up one would be worse.
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "propclear developers")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The libraries (Qt 6, and with libqt6gui6 the xcb and offscreen platform
# plugins) come from dpkg-shlibdeps; it appends them to the list below.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(PROPCLEAR_QT_FRONTEND)
  # Nothing links against the fonts: the plot asks for Arial, which fontconfig
  # maps to Liberation Sans, and falls back to DejaVu.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, fonts-dejavu-core")
  # A Wayland session without Xwayland needs Qt's Wayland platform.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
endif()

set(CPACK_SOURCE_GENERATOR TGZ)
# The source package (make package_source) leaves out what git ignores.
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/;/build[^/]*/;/out/;/\\\\.cache/")

include(CPack)

# The package as a user gets it: built with cpack from this tree, unpacked
# with dpkg -x, the installed program run headless on the installed example,
# the man page rendered. Skipped when cpack, dpkg-shlibdeps or man is missing.
if(PROPCLEAR_BUILD_TESTS)
  add_test(NAME package_check
           COMMAND ${CMAKE_SOURCE_DIR}/packaging/check-package ${CMAKE_BINARY_DIR})
  set_tests_properties(package_check PROPERTIES
    SKIP_RETURN_CODE 77
    TIMEOUT 60
    LABELS package)
endif()
