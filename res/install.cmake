# Installs the program's data (the guard's sounds and the sample noises), its
# icons, desktop entry and the settings document's file type.  Included by
# res/CMakeLists.txt; the binary itself is installed by app/.
include(GNUInstallDirs)

set(hauntwatch_res_dir ${CMAKE_CURRENT_LIST_DIR})

# HAUNTWATCH_INSTALL_DATA_DIR is absolute (the program is told where to look);
# under the configured prefix it is installed relative to it, so that
# `cmake --install --prefix` and packaging to a staging folder still work.
set(hauntwatch_data_destination "${HAUNTWATCH_INSTALL_DATA_DIR}")
if(NOT hauntwatch_data_destination)
  set(hauntwatch_data_destination "${CMAKE_INSTALL_DATADIR}/hauntwatch")
else()
  cmake_path(IS_PREFIX CMAKE_INSTALL_PREFIX "${hauntwatch_data_destination}" NORMALIZE hauntwatch_data_under_prefix)
  if(hauntwatch_data_under_prefix)
    file(RELATIVE_PATH hauntwatch_data_destination "${CMAKE_INSTALL_PREFIX}" "${hauntwatch_data_destination}")
  endif()
endif()

install(FILES
  ${hauntwatch_res_dir}/data/thanks.wav
  ${hauntwatch_res_dir}/data/mervo.wav
  DESTINATION "${hauntwatch_data_destination}"
  COMPONENT data)
file(GLOB hauntwatch_noises CONFIGURE_DEPENDS ${hauntwatch_res_dir}/data/noises/*.wav)
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
