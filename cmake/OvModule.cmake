# One module per folder. Sources are found by name:
#   Name.cpp            portable, built everywhere
#   Name_win.cpp        Windows only (Win32 APIs)
#   Name_posix.cpp      native only
#   Name_test.cpp       portable test, run natively and under Wine
#   Name_win_test.cpp   Windows-only test, run under Wine
# A module becomes a static library <name> and, when it has tests, a test
# program <name>_tests whose cases CTest lists one by one.

function(ov_collect_sources out dir)
  file(GLOB all CONFIGURE_DEPENDS "${dir}/*.cpp" "${dir}/*.c")
  set(result "")
  foreach(f IN LISTS all)
    get_filename_component(n "${f}" NAME_WE)
    if(n MATCHES "_test$" OR n MATCHES "_main$")
      continue()
    elseif(n MATCHES "_win$" AND NOT WIN32)
      continue()
    elseif(n MATCHES "_posix$" AND WIN32)
      continue()
    endif()
    list(APPEND result "${f}")
  endforeach()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

function(ov_collect_tests out dir)
  file(GLOB all CONFIGURE_DEPENDS "${dir}/*_test.cpp")
  set(result "")
  foreach(f IN LISTS all)
    get_filename_component(n "${f}" NAME_WE)
    if(n MATCHES "_win_test$" AND NOT WIN32)
      continue()
    elseif(n MATCHES "_posix_test$" AND WIN32)
      continue()
    endif()
    list(APPEND result "${f}")
  endforeach()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

# ov_module(NAME <target> [DEPS <targets>...] [TEST_DEPS <targets>...] [SYSTEM_LIBS <libs>...])
function(ov_module)
  cmake_parse_arguments(M "" "NAME" "DEPS;TEST_DEPS;SYSTEM_LIBS" ${ARGN})
  ov_collect_sources(sources ${CMAKE_CURRENT_SOURCE_DIR})
  if(sources)
    add_library(${M_NAME} STATIC ${sources})
    target_include_directories(${M_NAME} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${M_NAME} PUBLIC ${M_DEPS} ${M_SYSTEM_LIBS})
  else()
    # Headers only so far.
    add_library(${M_NAME} INTERFACE)
    target_include_directories(${M_NAME} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${M_NAME} INTERFACE ${M_DEPS} ${M_SYSTEM_LIBS})
  endif()
  if(OV_TESTS)
    ov_collect_tests(tests ${CMAKE_CURRENT_SOURCE_DIR})
    if(tests)
      ov_add_test_program(${M_NAME}_tests SOURCES ${tests} DEPS ${M_NAME} ${M_TEST_DEPS})
    endif()
  endif()
endfunction()

# ov_add_test_program(<name> SOURCES ... DEPS ...)
function(ov_add_test_program name)
  cmake_parse_arguments(T "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_DEPS} gmock gtest_main)
  target_compile_definitions(${name} PRIVATE OV_SHARED_DIR="${OV_SHARED_DIR}"
                                             OV_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  # Discovery runs at test time: under the cross build it needs Wine, which the
  # test scripts start before CTest.
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES TIMEOUT 600 SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
endfunction()
