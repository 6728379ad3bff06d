# GoogleTest is built from Debian's sources with the current compiler, so the
# cross build gets Windows test programs and the native build gets sanitised ones.
set(OV_GOOGLETEST_DIR /usr/src/googletest CACHE PATH "GoogleTest source tree")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
# The upstream sources are not ours to keep warning-free.
set(_ov_saved_options "${CMAKE_CXX_FLAGS}")
add_subdirectory(${OV_GOOGLETEST_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
foreach(target gtest gtest_main gmock gmock_main)
  if(TARGET ${target})
    target_compile_options(${target} PRIVATE -Wno-error)
  endif()
endforeach()
include(GoogleTest)
