# Tests of the Windows build, run under Wine: the Windows side of the platform (a GoogleTest
# program built from Debian's GoogleTest sources), and the whole of orbelt.exe with orbelt.dll
# compared with the native build of the same sources.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

file(GLOB windows_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/platform/windows/*.cpp)
if(windows_test_sources)
  # The module's own description (addin/component.cpp) is what its type library must list.
  add_executable(test_platform_windows ${windows_test_sources} ${CMAKE_SOURCE_DIR}/addin/component.cpp)
  target_include_directories(test_platform_windows PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(test_platform_windows PRIVATE orbelt_addin_core orbelt_rules platform_component kelvo
                                                      orbelt_resources gtest gtest_main)
  target_compile_definitions(test_platform_windows PRIVATE ORBELT_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  add_dependencies(test_platform_windows orbelt_addin orbelt_command)
  add_test(NAME Windows.Platform COMMAND test_platform_windows)
  set_tests_properties(Windows.Platform PROPERTIES ENVIRONMENT "ORBELT_ADDIN=${CMAKE_BINARY_DIR}/orbelt.dll")
endif()

# The files themselves: system DLLs only, the four entry points exported by name.
add_test(NAME Windows.ModuleFile COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/platform/windows/module_file.sh ${CMAKE_BINARY_DIR})

# orbelt.exe against the native orbelt: registration, every golden scenario, the corpus.
add_test(NAME Windows.SameAsNative
         COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/cli/windows_parity.sh ${CMAKE_BINARY_DIR} ${ORBELT_NATIVE_BUILD})

# The package: the compiled help with every page and its context map, and the zip that cpack
# makes from the finished build with exactly the four files.
add_test(NAME Windows.Package
         COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/package/windows_package.sh ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR}
                 ${PROJECT_VERSION} ${CMAKE_CPACK_COMMAND})
