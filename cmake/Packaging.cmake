# Installation layout and the Debian package. Installed, the program sits in bin/ and finds its
# map pages in share/trivane/map; the desktop entry and icons come from packaging/.
#   cmake --install BUILD [--prefix DIR]      cpack --config BUILD/CPackConfig.cmake -G DEB

include(GNUInstallDirs)

if(TRIVANE_GUI)
  add_subdirectory(${PROJECT_SOURCE_DIR}/packaging ${PROJECT_BINARY_DIR}/packaging)
endif()

set(TRIVANE_PACKAGE_MAINTAINER "Trivane maintainers <maintainers@users.noreply.c-seed-fa0fcb69.example>"
  CACHE STRING "Maintainer named in the Debian package")

set(CPACK_PACKAGE_NAME trivane)
set(CPACK_PACKAGE_VENDOR "Trivane")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${TRIVANE_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "player for dash-camera recordings with map, speed and G-sensor")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Trivane plays the recordings of a dash camera's memory card, or of a copy of"
  "one: front and rear camera together, while the route on a map, the position,"
  "the speed and the G-sensor curve follow the picture. GPS fixes and G-sensor"
  "samples come from the recordings themselves (AVI, MOV, and TS with a .NMEA"
  "side file). Routes export to KML and GPX.")
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The libraries the program links, with the versions dpkg-shlibdeps finds (Qt's WebEngine
# library brings its helper process, libqt6webenginecore6-bin, that way; Qt's X11 platform
# plug-in ships in libqt6gui6). Then what the program loads by name at run time: libVLC with its
# demuxers, codecs and X11 video output, Leaflet for the OpenStreetMap page, and ffmpeg (with
# ffprobe) for clip exports.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libvlc5 (>= 3.0), vlc-plugin-base, vlc-plugin-video-output, libjs-leaflet, ffmpeg")

include(CPack)
