# Installs the program's data (the guard's sounds and the sample noises), its
# icons, desktop entry, the settings document's file type, the software
# centre's entry, the manual page, and the package's copyright and change log
# (and stages the data into the build tree).  Included by
# res/CMakeLists.txt; the binary itself is installed by app/.
include(GNUInstallDirs)
include(${CMAKE_CURRENT_LIST_DIR}/release.cmake)

set(hauntwatch_res_dir ${CMAKE_CURRENT_LIST_DIR})

# The program looks for its data in ../share/hauntwatch beside its binary's
# folder; other layouts would install a program that cannot find its sounds.
if(NOT CMAKE_INSTALL_BINDIR STREQUAL "bin" OR NOT CMAKE_INSTALL_DATADIR STREQUAL "share")
  message(FATAL_ERROR "Hauntwatch finds its data at <prefix>/share/hauntwatch from <prefix>/bin: "
                      "keep CMAKE_INSTALL_BINDIR=bin and CMAKE_INSTALL_DATADIR=share")
endif()
set(hauntwatch_data_destination "${CMAKE_INSTALL_DATADIR}/hauntwatch")

set(hauntwatch_sounds ${hauntwatch_res_dir}/data/thanks.wav ${hauntwatch_res_dir}/data/mervo.wav)
file(GLOB hauntwatch_noises CONFIGURE_DEPENDS ${hauntwatch_res_dir}/data/noises/*.wav)

# The build tree holds the same data at the same place relative to its bin/,
# so a program started from the build folder finds it too.
set(hauntwatch_staged)
foreach(file ${hauntwatch_sounds} ${hauntwatch_noises})
  file(RELATIVE_PATH relative "${hauntwatch_res_dir}/data" "${file}")
  set(staged "${CMAKE_BINARY_DIR}/${hauntwatch_data_destination}/${relative}")
  add_custom_command(OUTPUT "${staged}"
    COMMAND ${CMAKE_COMMAND} -E copy_if_different "${file}" "${staged}"
    DEPENDS "${file}"
    VERBATIM)
  list(APPEND hauntwatch_staged "${staged}")
endforeach()
add_custom_target(staged_data ALL DEPENDS ${hauntwatch_staged})

install(FILES ${hauntwatch_sounds}
  DESTINATION "${hauntwatch_data_destination}"
  COMPONENT data)
install(FILES ${hauntwatch_noises}
  DESTINATION "${hauntwatch_data_destination}/noises"
  COMPONENT data)

# Icons for the hicolor theme: the program, and the settings document's type.
set(hauntwatch_icon_root "${CMAKE_INSTALL_DATADIR}/icons/hicolor")
foreach(size 48 128 256)
  if(size EQUAL 256)
    set(suffix "")
  else()
    set(suffix "-${size}")
  endif()
  install(FILES ${hauntwatch_res_dir}/icons/hauntwatch${suffix}.png
    DESTINATION "${hauntwatch_icon_root}/${size}x${size}/apps"
    RENAME hauntwatch.png
    COMPONENT desktop)
  install(FILES ${hauntwatch_res_dir}/icons/hauntwatch-document${suffix}.png
    DESTINATION "${hauntwatch_icon_root}/${size}x${size}/mimetypes"
    RENAME application-x-hauntwatch.png
    COMPONENT desktop)
endforeach()
install(FILES ${hauntwatch_res_dir}/icons/hauntwatch.svg
  DESTINATION "${hauntwatch_icon_root}/scalable/apps"
  COMPONENT desktop)
install(FILES ${hauntwatch_res_dir}/icons/hauntwatch-document.svg
  DESTINATION "${hauntwatch_icon_root}/scalable/mimetypes"
  RENAME application-x-hauntwatch.svg
  COMPONENT desktop)

install(FILES ${hauntwatch_res_dir}/hauntwatch.desktop
  DESTINATION "${CMAKE_INSTALL_DATADIR}/applications"
  COMPONENT desktop)
install(FILES ${hauntwatch_res_dir}/hauntwatch-mime.xml
  DESTINATION "${CMAKE_INSTALL_DATADIR}/mime/packages"
  RENAME hauntwatch.xml
  COMPONENT desktop)

# A direct install (not staged for a package, whose own scripts do this) makes
# the new file type and desktop entry known at once.
install(CODE "set(hauntwatch_datadir \"${CMAKE_INSTALL_DATADIR}\")" COMPONENT desktop)
install(CODE [[
  if("$ENV{DESTDIR}" STREQUAL "")
    set(share "${hauntwatch_datadir}")
    if(NOT IS_ABSOLUTE "${share}")
      set(share "${CMAKE_INSTALL_PREFIX}/${share}")
    endif()
    find_program(update_mime update-mime-database)
    if(update_mime)
      execute_process(COMMAND ${update_mime} "${share}/mime" OUTPUT_QUIET ERROR_QUIET)
    endif()
    find_program(update_desktop update-desktop-database)
    if(update_desktop)
      execute_process(COMMAND ${update_desktop} -q "${share}/applications" OUTPUT_QUIET ERROR_QUIET)
    endif()
  endif()
]] COMPONENT desktop)

# The software centre's entry and the manual page carry the version and its
# release date.
configure_file(${hauntwatch_res_dir}/io.github.hauntwatch.hauntwatch.metainfo.xml.in
  ${CMAKE_CURRENT_BINARY_DIR}/io.github.hauntwatch.hauntwatch.metainfo.xml @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/io.github.hauntwatch.hauntwatch.metainfo.xml
  DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo"
  COMPONENT desktop)

# Debian keeps manual pages and change logs compressed, without a time stamp
# in the gzip header so that a rebuild gives the same bytes.
configure_file(${hauntwatch_res_dir}/hauntwatch.1.in ${CMAKE_CURRENT_BINARY_DIR}/hauntwatch.1 @ONLY)
find_program(HAUNTWATCH_GZIP gzip REQUIRED)
set(hauntwatch_compressed)
foreach(pair "hauntwatch.1|${CMAKE_CURRENT_BINARY_DIR}/hauntwatch.1"
             "changelog|${hauntwatch_res_dir}/package/changelog")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 name)
  list(GET pair 1 source)
  set(compressed ${CMAKE_CURRENT_BINARY_DIR}/compressed/${name})
  add_custom_command(OUTPUT ${compressed}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${compressed}
    COMMAND ${HAUNTWATCH_GZIP} -9 -n -f ${compressed}
    DEPENDS ${source}
    VERBATIM)
  list(APPEND hauntwatch_compressed ${compressed}.gz)
endforeach()
add_custom_target(compressed_docs ALL DEPENDS ${hauntwatch_compressed})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/compressed/hauntwatch.1.gz
  DESTINATION "${CMAKE_INSTALL_MANDIR}/man1"
  COMPONENT doc)
# Named after the package, as Debian wants, not after the CMake project.
install(FILES ${hauntwatch_res_dir}/package/copyright ${CMAKE_CURRENT_BINARY_DIR}/compressed/changelog.gz
  DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/doc/hauntwatch"
  COMPONENT doc)
