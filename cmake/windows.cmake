# Windows build: trafimo.exe, the Windows-side tests run under Wine, and the end-to-end tests.
trafimo_core_library(trafimo_core)

add_library(trafimo_win STATIC ${TRAFIMO_WIN_SOURCES})
# iphlpapi.dll and version.dll are loaded at run time from the system folder, never imported.
target_link_libraries(trafimo_win PUBLIC trafimo_core comctl32 comdlg32 shell32 advapi32 gdi32
                                         user32 msimg32)
target_compile_definitions(trafimo_win PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00)
target_compile_definitions(trafimo_core PUBLIC NOMINMAX)

include(cmake/version.cmake)
set(TRAFIMO_RC ${CMAKE_SOURCE_DIR}/src/res/trafimo.rc)
# windres reports no dependencies: rebuild the resources when any included file changes.
file(GLOB_RECURSE TRAFIMO_RC_INPUTS CONFIGURE_DEPENDS src/*.rc src/*.ico src/*.bmp src/*.cur
     src/*.manifest src/*_ids.h src/res/*.h)
list(APPEND TRAFIMO_RC_INPUTS ${TRAFIMO_GENERATED_DIR}/trafimo_version.h)
set_source_files_properties(${TRAFIMO_RC} PROPERTIES OBJECT_DEPENDS "${TRAFIMO_RC_INPUTS}"
                                                     INCLUDE_DIRECTORIES ${TRAFIMO_GENERATED_DIR})
add_executable(trafimo WIN32 src/startup/main_win.cpp ${TRAFIMO_RC})
target_link_libraries(trafimo PRIVATE trafimo_win)
if(NOT MSVC)
  target_link_options(trafimo PRIVATE -static)
endif()

# GoogleTest built from source with this compiler.
set(TRAFIMO_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
if(EXISTS ${TRAFIMO_GTEST_SOURCE}/CMakeLists.txt)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${TRAFIMO_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  include(GoogleTest)

  file(GLOB_RECURSE TRAFIMO_WIN_TESTS CONFIGURE_DEPENDS tests/*_wintest.cpp)
  add_executable(trafimo_wintests ${TRAFIMO_WIN_TESTS} ${TRAFIMO_ALL_TEST_SUPPORT} ${TRAFIMO_RC})
  target_include_directories(trafimo_wintests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(trafimo_wintests PRIVATE trafimo_win gtest gmock)
  if(NOT MSVC)
    target_link_options(trafimo_wintests PRIVATE -static)
  endif()
  gtest_discover_tests(trafimo_wintests DISCOVERY_MODE PRE_TEST TEST_PREFIX "wine."
                       DISCOVERY_TIMEOUT 120 PROPERTIES RUN_SERIAL TRUE TIMEOUT 120)
endif()

# Small Windows programs the end-to-end tests and benchmarks use.
file(GLOB TRAFIMO_E2E_TOOLS CONFIGURE_DEPENDS tests/e2e/tools/*_win.cpp bench/*_winbench.cpp)
foreach(tool ${TRAFIMO_E2E_TOOLS})
  get_filename_component(tool_name ${tool} NAME_WE)
  add_executable(${tool_name} ${tool})
  target_link_libraries(${tool_name} PRIVATE trafimo_win iphlpapi)
  if(NOT MSVC)
    target_link_options(${tool_name} PRIVATE -static)
  endif()
endforeach()

# End to end: the real trafimo.exe under Wine, driven by the scripts in tests/e2e.
file(GLOB TRAFIMO_E2E_SCRIPTS CONFIGURE_DEPENDS tests/e2e/*_e2e.sh)
foreach(script ${TRAFIMO_E2E_SCRIPTS})
  get_filename_component(script_name ${script} NAME_WE)
  add_test(NAME e2e.${script_name} COMMAND bash ${script} ${CMAKE_BINARY_DIR})
  set_tests_properties(e2e.${script_name} PROPERTIES RUN_SERIAL TRUE TIMEOUT 600 LABELS e2e)
endforeach()
