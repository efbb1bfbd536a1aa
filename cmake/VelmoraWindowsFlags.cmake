# Flags for everything built for Windows: Unicode, small, self-contained, hardened.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                        _WIN32_WINNT=0x0601 WINVER=0x0601)
add_compile_options(-Os -ffunction-sections -fdata-sections)
add_link_options(
  -static -static-libgcc -static-libstdc++
  -Wl,--gc-sections
  -Wl,--dynamicbase -Wl,--nxcompat
  $<$<CONFIG:Release,MinSizeRel>:-s>)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  # A 64-bit base address for ASLR to choose from; 32-bit programs have none.
  add_link_options(-Wl,--high-entropy-va)
endif()

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

# velmora_safe_entry(target)
#   Gives the program launcher/SafeEntry.cpp's VelmoraEntry as its entry
#   point, so that the DLL search is narrowed before the C runtime, any static
#   constructor or wWinMain runs.
function(velmora_safe_entry target)
  target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/launcher/SafeEntry.cpp)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # 32-bit C names carry a leading underscore in the object files.
    set(symbol _VelmoraEntry)
  else()
    set(symbol VelmoraEntry)
  endif()
  target_link_options(${target} PRIVATE -Wl,-e,${symbol})
endfunction()

# velmora_delay_loaded(<name> <dll> <function>@<argument bytes>...)
#   An import library, to link in place of the DLL's own, that loads <dll> at
#   the first call of one of <function>s instead of when the program starts
#   (the C runtime's __delayLoadHelper2 does the loading). For DLLs that only
#   a click or a hover needs: start-up neither waits for them nor carries
#   their memory. The argument bytes are the size of the function's
#   arguments, which 32-bit WINAPI (stdcall) names carry; 64-bit names do not.
function(velmora_delay_loaded name dll)
  set(dir ${CMAKE_BINARY_DIR}/delayload)
  set(def ${dir}/${name}.def)
  set(lib ${dir}/lib${name}.a)
  set(functions ${ARGN})
  set(decoration)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # The library's symbols keep the decoration; the names looked up in the
    # DLL (--kill-at) do not.
    set(decoration --kill-at)
  else()
    list(TRANSFORM functions REPLACE "@[0-9]+$" "")
  endif()
  string(REPLACE ";" "\n" exports "${functions}")
  file(MAKE_DIRECTORY ${dir})
  file(WRITE ${def} "LIBRARY ${dll}\nEXPORTS\n${exports}\n")
  execute_process(
    COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --dllname ${dll} --output-delaylib ${lib} ${decoration}
    RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "dlltool could not make the delay-load library for ${dll}")
  endif()
  add_library(${name} STATIC IMPORTED GLOBAL)
  set_target_properties(${name} PROPERTIES IMPORTED_LOCATION ${lib})
endfunction()

# The shell is needed for opening a link (and for the icon's fallback), the
# common controls only for the tooltip, which is made at the first hover.
velmora_delay_loaded(velmora_delayed_shell32 shell32.dll ShellExecuteA@24 ExtractIconExW@20)
velmora_delay_loaded(velmora_delayed_comctl32 comctl32.dll InitCommonControlsEx@4)
# Only a screen reader asking for the bar's accessible object needs these.
velmora_delay_loaded(velmora_delayed_oleacc oleacc.dll LresultFromObject@12 CreateStdAccessibleObject@16)
velmora_delay_loaded(velmora_delayed_oleaut32 oleaut32.dll SysAllocStringLen@8)
