# velmora_unit_test(NAME name SOURCES ... LIBS ...)
#   A GoogleTest program of pure logic, built natively (with the sanitizers).
function(velmora_unit_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
endfunction()

# velmora_windows_test(NAME name TARGET exe-target [SCREEN WxH] [ARGS ...])
#   A Windows test program run under Wine, in the test prefix, on a virtual
#   desktop of the given size. Wine tests share one prefix and one display, so
#   they never run side by side. The 32-bit build's tests are named with
#   VELMORA_TEST_SUFFIX (_x86) and are skipped where Wine cannot run 32-bit
#   programs (scripts/wine-run exits with 77 then).
set(VELMORA_TEST_SUFFIX "" CACHE STRING "Appended to the names of this build's Windows tests")
function(velmora_windows_test)
  cmake_parse_arguments(T "" "NAME;TARGET;SCREEN" "ARGS" ${ARGN})
  if(NOT T_SCREEN)
    set(T_SCREEN 1024x768)
  endif()
  set(_name ${T_NAME}${VELMORA_TEST_SUFFIX})
  set(_env "VELMORA_SCREEN=${T_SCREEN}" "VELMORA_BUILD_DIR=${PROJECT_BINARY_DIR}")
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    list(APPEND _env VELMORA_NEEDS_WINE32=1)
  endif()
  set(_runner ${PROJECT_SOURCE_DIR}/scripts/wine-run)
  add_test(NAME ${_name} COMMAND ${T_TARGET} ${T_ARGS})
  set_tests_properties(${_name} PROPERTIES ENVIRONMENT "${_env}" RESOURCE_LOCK wine TIMEOUT 600
                       SKIP_RETURN_CODE 77)
  # The same test, written out for the native build's ctest run.
  string(REPLACE ";" " " _args "${T_ARGS}")
  string(REPLACE ";" "$<SEMICOLON>" _envList "${_env}")
  set(_line "add_test(${_name} \"${_runner}\" \"$<TARGET_FILE:${T_TARGET}>\" ${_args})\n")
  string(APPEND _line "set_tests_properties(${_name} PROPERTIES ENVIRONMENT \"${_envList}\"")
  string(APPEND _line " RESOURCE_LOCK wine TIMEOUT 600 SKIP_RETURN_CODE 77)\n")
  set_property(GLOBAL APPEND_STRING PROPERTY VELMORA_WINDOWS_TESTS "${_line}")
endfunction()

# Writes the list of Windows tests for the native build to pick up.
function(velmora_write_windows_test_list)
  get_property(_tests GLOBAL PROPERTY VELMORA_WINDOWS_TESTS)
  file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/windows-tests.cmake CONTENT "${_tests}")
endfunction()
