# Flags for everything built for Windows: Unicode, small, self-contained, hardened.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                        _WIN32_WINNT=0x0601 WINVER=0x0601)
add_compile_options(-Os -ffunction-sections -fdata-sections)
add_link_options(
  -static -static-libgcc -static-libstdc++
  -Wl,--gc-sections
  -Wl,--dynamicbase -Wl,--high-entropy-va -Wl,--nxcompat
  $<$<CONFIG:Release,MinSizeRel>:-s>)

# velmora_product_targets(target...)
#   The program's own code is built without exceptions and run-time type
#   information: it uses neither, and with them the C++ runtime's unwinder,
#   type tables and terminate message (which needs a demangler) would make up
#   more than half of Velmora.exe. Test programs keep both, GoogleTest needs
#   them; they link these libraries unchanged.
function(velmora_product_targets)
  foreach(target IN LISTS ARGN)
    target_compile_options(${target} PRIVATE -fno-exceptions -fno-rtti)
  endforeach()
endfunction()

# velmora_delay_loaded(<name> <dll> <function>...)
#   An import library, to link in place of the DLL's own, that loads <dll> at
#   the first call of one of <function>s instead of when the program starts
#   (the C runtime's __delayLoadHelper2 does the loading). For DLLs that only
#   a click or a hover needs: start-up neither waits for them nor carries
#   their memory.
function(velmora_delay_loaded name dll)
  set(dir ${CMAKE_BINARY_DIR}/delayload)
  set(def ${dir}/${name}.def)
  set(lib ${dir}/lib${name}.a)
  string(REPLACE ";" "\n" exports "${ARGN}")
  file(MAKE_DIRECTORY ${dir})
  file(WRITE ${def} "LIBRARY ${dll}\nEXPORTS\n${exports}\n")
  execute_process(
    COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --dllname ${dll} --output-delaylib ${lib}
    RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "dlltool could not make the delay-load library for ${dll}")
  endif()
  add_library(${name} STATIC IMPORTED GLOBAL)
  set_target_properties(${name} PROPERTIES IMPORTED_LOCATION ${lib})
endfunction()

# The shell is needed for opening a link (and for the icon's fallback), the
# common controls only for the tooltip, which is made at the first hover.
velmora_delay_loaded(velmora_delayed_shell32 shell32.dll ShellExecuteA ExtractIconExW)
velmora_delay_loaded(velmora_delayed_comctl32 comctl32.dll InitCommonControlsEx)
# Only a screen reader asking for the bar's accessible object needs these.
velmora_delay_loaded(velmora_delayed_oleacc oleacc.dll LresultFromObject CreateStdAccessibleObject)
velmora_delay_loaded(velmora_delayed_oleaut32 oleaut32.dll SysAllocStringLen)
