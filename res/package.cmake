# The Debian package, hauntwatch_VERSION_ARCH.deb: `make package` runs
# `cpack -G DEB` in the release build.  Included at the end of the top
# CMakeLists.txt, after every install rule.
if(HAUNTWATCH_SANITIZE OR HAUNTWATCH_FUZZ)
  # A sanitizer build needs its runtime libraries and is no program to hand out.
  return()
endif()
include(${CMAKE_CURRENT_LIST_DIR}/release.cmake)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME hauntwatch)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Hauntwatch authors")
set(CPACK_PACKAGE_CONTACT "${HAUNTWATCH_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "make an empty house sound lived in while you are away")
# Lines stay within 80 columns, as Debian asks; a blank line parts paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[
Hauntwatch plays sounds, full-screen movie clips or opens other files on
a schedule while you are away: at exact moments or at random moments
around an interval, with repeats. It keeps quiet during the hours you
choose and writes down every play that failed.

Its one window shows a mansion, Mervo the ghost and a cupcake: hand Mervo
the cupcake and he goes on duty, click the mansion to send him off. While
he is on duty the machine is kept from going to sleep.

Through an MQTT broker such as Mosquitto it can be seen and switched from
anywhere, and it shows up in Home Assistant as a device with a switch and
sensors (the last play, the problem count, the next wake-up).

Sample noises (a dog barking, footsteps, voices, a door and a television)
are included.]=])
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/package/strip.cmake)

# The libraries the binary links come from dpkg-shlibdeps; these are loaded
# while it runs and no linker sees them: libmpv at the first play, Qt's X11
# and Wayland platform plugins at start (a Wayland session without the latter
# falls back to Xwayland, and one without Xwayland cannot start at all), and
# xdg-open for noises that are not sound or movie.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libmpv2, qt6-qpa-plugins, qt6-wayland, xdg-utils")
# libmosquitto is linked (shlibdeps finds it); an mqtts broker's certificate
# is checked against the system's store unless a CA file is set.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ca-certificates")

include(CPack)
