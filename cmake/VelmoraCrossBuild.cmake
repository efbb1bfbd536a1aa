# Builds the Windows half in build/windows with the MinGW-w64 toolchain and
# lets this build's ctest run its tests under Wine next to the unit tests.
include(ExternalProject)
set(VELMORA_WINDOWS_BINARY_DIR ${CMAKE_BINARY_DIR}/windows)
ExternalProject_Add(windows
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${VELMORA_WINDOWS_BINARY_DIR}
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-w64.cmake
             -DCMAKE_BUILD_TYPE=Release
             -DBUILD_TESTING=${BUILD_TESTING}
  BUILD_ALWAYS ON
  INSTALL_COMMAND "")

set(_include ${CMAKE_BINARY_DIR}/windows-tests-include.cmake)
file(WRITE ${_include}
  "if(EXISTS \"${VELMORA_WINDOWS_BINARY_DIR}/windows-tests.cmake\")\n"
  "  include(\"${VELMORA_WINDOWS_BINARY_DIR}/windows-tests.cmake\")\n"
  "else()\n"
  "  message(FATAL_ERROR \"The Windows half has not been built\")\n"
  "endif()\n")
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY TEST_INCLUDE_FILES ${_include})
