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
#   they never run side by side.
function(velmora_windows_test)
  cmake_parse_arguments(T "" "NAME;TARGET;SCREEN" "ARGS" ${ARGN})
  if(NOT T_SCREEN)
    set(T_SCREEN 1024x768)
  endif()
  set(_runner ${PROJECT_SOURCE_DIR}/scripts/wine-run)
  add_test(NAME ${T_NAME} COMMAND ${T_TARGET} ${T_ARGS})
  set_tests_properties(${T_NAME} PROPERTIES
    ENVIRONMENT "VELMORA_SCREEN=${T_SCREEN};VELMORA_BUILD_DIR=${PROJECT_BINARY_DIR}"
    RESOURCE_LOCK wine TIMEOUT 600)
  # The same test, written out for the native build's ctest run.
  string(REPLACE ";" " " _args "${T_ARGS}")
  set(_line "add_test(${T_NAME} \"${_runner}\" \"$<TARGET_FILE:${T_TARGET}>\" ${_args})\n")
  string(APPEND _line "set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT \"VELMORA_SCREEN=${T_SCREEN}")
  string(APPEND _line "$<SEMICOLON>VELMORA_BUILD_DIR=${PROJECT_BINARY_DIR}\" RESOURCE_LOCK wine TIMEOUT 600)\n")
  set_property(GLOBAL APPEND_STRING PROPERTY VELMORA_WINDOWS_TESTS "${_line}")
endfunction()

# Writes the list of Windows tests for the native build to pick up.
function(velmora_write_windows_test_list)
  get_property(_tests GLOBAL PROPERTY VELMORA_WINDOWS_TESTS)
  file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/windows-tests.cmake CONTENT "${_tests}")
endfunction()
