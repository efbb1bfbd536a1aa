# Flags for everything built for Windows: Unicode, small, self-contained, hardened.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                        _WIN32_WINNT=0x0601 WINVER=0x0601)
add_compile_options(-Os -ffunction-sections -fdata-sections)
add_link_options(
  -static -static-libgcc -static-libstdc++
  -Wl,--gc-sections
  -Wl,--dynamicbase -Wl,--high-entropy-va -Wl,--nxcompat
  $<$<CONFIG:Release,MinSizeRel>:-s>)
