# The body of the MinGW-w64 toolchain files: mingw-w64.cmake (64-bit) and
# mingw-w64-i686.cmake (32-bit) set _triple and the processor, then include this.
set(CMAKE_SYSTEM_NAME Windows)

# The posix thread model: GoogleTest needs std::mutex, which the win32 model
# lacks. Everything is linked statically, so no threading DLL is imported.
find_program(_mingw_gcc NAMES ${_triple}-gcc-posix REQUIRED)
find_program(_mingw_gxx NAMES ${_triple}-g++-posix REQUIRED)
set(CMAKE_C_COMPILER ${_mingw_gcc})
set(CMAKE_CXX_COMPILER ${_mingw_gxx})
set(CMAKE_RC_COMPILER ${_triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# ctest runs the Windows test programs through the Wine runner, in the test prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
