# Builds the Windows half twice with the MinGW-w64 toolchains, 64-bit (x64) in
# build/windows and 32-bit (x86) in build/windows32, and lets this build's
# ctest run both halves' tests under Wine next to the unit tests. The 32-bit
# tests carry the suffix _x86.
include(ExternalProject)
set(VELMORA_WINDOWS_BINARY_DIR ${CMAKE_BINARY_DIR}/windows)
set(VELMORA_WINDOWS32_BINARY_DIR ${CMAKE_BINARY_DIR}/windows32)

function(velmora_cross_build name binary_dir toolchain test_suffix)
  ExternalProject_Add(${name}
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${binary_dir}
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/${toolchain}
               -DCMAKE_BUILD_TYPE=Release
               -DBUILD_TESTING=${BUILD_TESTING}
               -DVELMORA_TEST_SUFFIX=${test_suffix}
    BUILD_ALWAYS ON
    INSTALL_COMMAND "")
endfunction()

velmora_cross_build(windows ${VELMORA_WINDOWS_BINARY_DIR} mingw-w64.cmake "")
velmora_cross_build(windows32 ${VELMORA_WINDOWS32_BINARY_DIR} mingw-w64-i686.cmake _x86)

set(_include ${CMAKE_BINARY_DIR}/windows-tests-include.cmake)
file(WRITE ${_include} "")
foreach(dir IN ITEMS ${VELMORA_WINDOWS_BINARY_DIR} ${VELMORA_WINDOWS32_BINARY_DIR})
  file(APPEND ${_include}
    "if(EXISTS \"${dir}/windows-tests.cmake\")\n"
    "  include(\"${dir}/windows-tests.cmake\")\n"
    "else()\n"
    "  message(FATAL_ERROR \"The Windows half in ${dir} has not been built\")\n"
    "endif()\n")
endforeach()
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY TEST_INCLUDE_FILES ${_include})
