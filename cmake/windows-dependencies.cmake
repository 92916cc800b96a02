# The libraries of the Windows build. zlib comes from Debian's mingw-w64 package; pugixml is built
# from the source of Debian's package (tools/setup-windows.sh fetches it); the header-only
# libraries are the build machine's own headers, staged in a folder of their own so that the
# cross compiler does not see the build machine's other headers.
set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)

set(ORBELT_PUGIXML_SOURCE "" CACHE PATH "Folder of the pugixml source (with src/pugixml.cpp)")
if(NOT EXISTS ${ORBELT_PUGIXML_SOURCE}/src/pugixml.cpp)
  message(FATAL_ERROR "ORBELT_PUGIXML_SOURCE must name the pugixml source folder (tools/setup-windows.sh fetches it)")
endif()
add_library(pugixml STATIC ${ORBELT_PUGIXML_SOURCE}/src/pugixml.cpp)
target_include_directories(pugixml SYSTEM PUBLIC ${ORBELT_PUGIXML_SOURCE}/src)
add_library(pugixml::pugixml ALIAS pugixml)

set(ORBELT_STAGED_HEADERS ${CMAKE_BINARY_DIR}/staged-headers)
foreach(folder nlohmann CLI)
  if(NOT EXISTS /usr/include/${folder})
    message(FATAL_ERROR "/usr/include/${folder} is missing: run tools/setup-debian.sh")
  endif()
  file(MAKE_DIRECTORY ${ORBELT_STAGED_HEADERS})
  file(CREATE_LINK /usr/include/${folder} ${ORBELT_STAGED_HEADERS}/${folder} SYMBOLIC)
endforeach()
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE ${ORBELT_STAGED_HEADERS})
add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 SYSTEM INTERFACE ${ORBELT_STAGED_HEADERS})

# The IDL compiler finds the standard IDL files and type libraries in Wine's development package.
set(ORBELT_WINE_IDL_DIR /usr/include/wine/wine/windows)
set(ORBELT_WINE_TYPE_LIBRARY_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
