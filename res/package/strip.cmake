# Run by CPack on the staged files before it packs them: strips the program
# the way Debian's own package builds do (debhelper's dh_strip), which also
# drops the compiler's notes that a plain strip leaves in.
find_program(strip_program strip REQUIRED)
file(GLOB_RECURSE programs LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/bin/*")
if(NOT programs)
  message(FATAL_ERROR "no program staged under ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
foreach(program ${programs})
  execute_process(COMMAND ${strip_program} --remove-section=.comment --remove-section=.note --strip-unneeded
                          ${program}
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()
