# GoogleTest from Debian's source package, built for whichever compiler this build uses.
if(NOT VANTOREL_TESTS OR (WIN32 AND NOT VANTOREL_WIN_TESTS))
  return()
endif()

set(VANTOREL_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
if(VANTOREL_SANITIZE AND NOT WIN32)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer)
endif()
add_subdirectory(${VANTOREL_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# vantorel_native_test(name sources...): a host test program of the portable core.
function(vantorel_native_test name)
  add_executable(${name} ${ARGN} ${CMAKE_SOURCE_DIR}/tests/support/TestMain.cpp)
  target_link_libraries(${name} PRIVATE vantorel_test_support vantorel_core gmock gtest)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
endfunction()

# vantorel_win_test(name [GUI] sources...): a Win32 test program, run under Wine by CTest.
# GUI tests hold the display lock so that two of them never share the screen at once.
function(vantorel_win_test name)
  set(gui OFF)
  set(srcs ${ARGN})
  if(srcs AND "${ARGV1}" STREQUAL "GUI")
    set(gui ON)
    list(REMOVE_AT srcs 0)
  endif()
  add_executable(${name} ${srcs} ${CMAKE_SOURCE_DIR}/tests/support/TestMain.cpp
                         ${CMAKE_SOURCE_DIR}/tests/support/test.rc)
  set_source_files_properties(${CMAKE_SOURCE_DIR}/tests/support/test.rc PROPERTIES OBJECT_DEPENDS
                              "${VANTOREL_RC_DEPENDS}")
  target_link_libraries(${name} PRIVATE vantorel_test_support vantorel_win gmock gtest)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
  if(gui)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK display)
  endif()
endfunction()

# vantorel_win_test_at_dpi(name dpi): runs the Win32 test program `name` once more on a desktop of `dpi`
# dots per inch, in a prefix of its own, as a copy named name_dpiN so that it keeps its own results.
function(vantorel_win_test_at_dpi name dpi)
  set(copy ${CMAKE_CURRENT_BINARY_DIR}/${name}_dpi${dpi}.exe)
  add_custom_command(OUTPUT ${copy} COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${name}> ${copy}
                     DEPENDS ${name})
  add_custom_target(${name}_dpi${dpi}_copy ALL DEPENDS ${copy})
  add_test(NAME ${name}_dpi${dpi} COMMAND ${CMAKE_SOURCE_DIR}/tools/wine-run --prefix
                                          ${CMAKE_BINARY_DIR}/wineprefix-dpi${dpi} --dpi ${dpi} ${copy})
  set_tests_properties(${name}_dpi${dpi} PROPERTIES TIMEOUT 300 RESOURCE_LOCK display ENVIRONMENT
                                                    VANTOREL_EXPECTED_DPI=${dpi})
endfunction()
