# The BPMN technology document: built from the readable sources in this folder by our own
# tool, which packs every shape script, and embedded in the add-in module as TECHFILE 101.

set(ORBELT_TECHNOLOGY_DIR ${CMAKE_CURRENT_LIST_DIR})
set(ORBELT_TECHNOLOGY_DOCUMENT ${CMAKE_BINARY_DIR}/generated/bpmn_technology.xml)
file(GLOB ORBELT_SHAPE_SCRIPTS CONFIGURE_DEPENDS ${ORBELT_TECHNOLOGY_DIR}/scripts/*.txt)

orbelt_build_tool(build_technology ${ORBELT_TECHNOLOGY_DIR}/tools/build_technology.cpp)
if(NOT CMAKE_CROSSCOMPILING)
  target_include_directories(build_technology PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(build_technology PRIVATE technology_script_codec)
endif()

add_custom_command(
  OUTPUT ${ORBELT_TECHNOLOGY_DOCUMENT}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated
  COMMAND build_technology ${ORBELT_TECHNOLOGY_DIR}/document.xml ${ORBELT_TECHNOLOGY_DIR}/scripts
          ${ORBELT_TECHNOLOGY_DIR}/quicklinks.csv ${ORBELT_TECHNOLOGY_DOCUMENT}
  DEPENDS build_technology ${ORBELT_TECHNOLOGY_DIR}/document.xml ${ORBELT_TECHNOLOGY_DIR}/quicklinks.csv
          ${ORBELT_SHAPE_SCRIPTS}
  COMMENT "Building the BPMN technology document")
add_custom_target(technology_document ALL DEPENDS ${ORBELT_TECHNOLOGY_DOCUMENT})
