# Cross-builds Velmora.exe for 64-bit Windows (x64) with Debian's MinGW-w64 toolchain.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(_triple x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MinGwToolchain.cmake)
