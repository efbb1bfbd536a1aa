# Cross-builds Velmora.exe for 32-bit Windows (x86) with Debian's MinGW-w64 toolchain.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(_triple i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MinGwToolchain.cmake)
