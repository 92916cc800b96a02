# The Windows package: the compiled help that orbelt.dll opens from its own folder, and the zip
# that carries the add-in, the command, the help and the read-me
# (`cpack --config build/windows/CPackConfig.cmake` makes it once the build is done).

# --- compiled help: docs/help compiled into Kelvo_BPMN.chm beside orbelt.dll ------------------
# The help compiler reports missing pages and contents files but still ends with status 0, so a
# report of either fails the build. It compiles in a copy of the pages, away from the sources.
find_program(ORBELT_HELP_COMPILER chmcmd REQUIRED)
file(GLOB ORBELT_HELP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/help/*)
set(ORBELT_HELP_FILE ${CMAKE_BINARY_DIR}/Kelvo_BPMN.chm)
set(ORBELT_HELP_STAGE ${CMAKE_BINARY_DIR}/help)
add_custom_command(
  OUTPUT ${ORBELT_HELP_FILE}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${ORBELT_HELP_STAGE}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/docs/help ${ORBELT_HELP_STAGE}
  COMMAND sh -c "cd \"$0\" && \"$1\" --verbosity 1 Kelvo_BPMN.hhp >compile.log 2>&1; status=$?; \
cat compile.log; [ $status -eq 0 ] && ! grep -q -E '^(Error|Warning)' compile.log"
          ${ORBELT_HELP_STAGE} ${ORBELT_HELP_COMPILER}
  COMMAND ${CMAKE_COMMAND} -E copy ${ORBELT_HELP_STAGE}/Kelvo_BPMN.chm ${ORBELT_HELP_FILE}
  DEPENDS ${ORBELT_HELP_SOURCES}
  COMMENT "Compiling the help file Kelvo_BPMN.chm"
  VERBATIM)
add_custom_target(orbelt_help ALL DEPENDS ${ORBELT_HELP_FILE})

# --- the zip: the four files in its top folder, orbelt-<version>-windows-x64 ----------------
install(TARGETS orbelt_addin orbelt_command RUNTIME DESTINATION .)
install(FILES ${ORBELT_HELP_FILE} ${CMAKE_SOURCE_DIR}/docs/windows-package/README.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME orbelt)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME orbelt-${PROJECT_VERSION}-windows-x64)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_OUTPUT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackConfig.cmake)
include(CPack)
