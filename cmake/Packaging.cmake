# The Debian package of the monitor: `cpack -G DEB` in a build with the windows
# (scripts/package-check.sh builds, installs and starts it). Its Depends are worked out by
# dpkg-shlibdeps from the libraries the program links: the Qt 6 Widgets, Gui and Core
# runtime packages and the C++ runtime. The platform plugins (xcb, offscreen) come with
# libqt6gui6 on Debian 12, so nothing else is needed to show a window.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zelva1-monitor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Monitor for the ZELVA-1 ARINC 429 interface board")
set(CPACK_PACKAGE_DESCRIPTION
    "Picks a ZELVA-1 board and the bit rate of each channel, starts and stops reception and
transmission per channel, shows each input channel's 256-cell buffer decoded (label, hex,
octal, binary, status bits and an engineering value through user-defined decimal formats)
and transmits arrays of up to 256 words once or cyclically. Runs on a simulated board when
none is installed. Russian user interface with built-in help.")
set(CPACK_PACKAGE_CONTACT "ZELVA-1 monitor maintainers <maintainers@users.noreply.c-seed-754caffb.example>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libzelva1.so.1 for C and for the Python package: its shlibs and the ldconfig trigger.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# The tool links that library, which is in this package and so in no package dpkg knows yet.
include(GNUInstallDirs)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS "usr/${CMAKE_INSTALL_LIBDIR}")
# The grids ask for Courier New; Liberation Mono has its metrics.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2")
set(CPACK_STRIP_FILES ON)

include(CPack)
