# Helpers shared by the module folders.
#
#   dun_library(name SOURCES ... [LIBS ...])     a static library of a module
#   dun_test(label exe SOURCES ... [LIBS ...])   a GoogleTest executable; its ctest test carries the module label
#   dun_native_test(label exe)                   registers (in the main build) a test built by the native build
#   dun_program_test(label exe [ARGS ...])       registers a program of the build as a test that passes on exit 0
#   dun_host_tool(var exe)                       sets var to the path of a host tool built by the native build
#   dun_form_resources, dun_library_resources    form files and resources of programs and libraries (see
#                                                framework/classes/FormResources.cmake)
#
# Every module includes the repository root and framework/, so headers are named by folder:
# "rtl/SysUtils.h", "engine/btrieve/BtrWObj.h".

set(DUN_NATIVE_DIR ${CMAKE_BINARY_DIR}/native)
set(DUN_NATIVE_BIN ${DUN_NATIVE_DIR}/bin)
set(DUN_WINEPREFIX $ENV{WINEPREFIX})
if(NOT DUN_WINEPREFIX)
  set(DUN_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
endif()
if(NOT DUN_NATIVE)
  # Test programs run through a wrapper that sets up Wine for them.
  configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-test.in ${CMAKE_BINARY_DIR}/wine-test @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-test)
endif()

# The labels whose tests may open windows: their tests hold the desktop lock (see dun_label_test).
set(DUN_DESKTOP_LABELS vcl report vxdata vxcontrols hostdata duntrack dunlist gapreport tools)

include_directories(${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/framework)
include(${CMAKE_SOURCE_DIR}/framework/classes/FormResources.cmake)

function(dun_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

function(dun_test label exe)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${exe} ${ARG_SOURCES})
  target_link_libraries(${exe} PRIVATE ${ARG_LIBS} gmock gtest_main)
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 600)
  endif()
  add_test(NAME ${exe} COMMAND ${exe} --gtest_brief=1)
  dun_label_test(${label} ${exe} ${ARG_TIMEOUT})
endfunction()

function(dun_program_test label exe)
  cmake_parse_arguments(ARG "" "" "ARGS" ${ARGN})
  add_test(NAME ${exe} COMMAND ${exe} ${ARG_ARGS})
  dun_label_test(${label} ${exe} 600)
endfunction()

function(dun_label_test label test timeout)
  set_tests_properties(${test} PROPERTIES LABELS ${label} TIMEOUT ${timeout})
  # Windows of one Wine server share one desktop, focus and foreground: tests that use them run one at a time.
  if(label IN_LIST DUN_DESKTOP_LABELS)
    set_property(TEST ${test} PROPERTY RESOURCE_LOCK desktop)
  endif()
endfunction()

function(dun_native_test label exe)
  cmake_parse_arguments(ARG "" "TIMEOUT" "" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 600)
  endif()
  add_test(NAME ${exe} COMMAND ${DUN_NATIVE_BIN}/${exe} --gtest_brief=1)
  set_tests_properties(${exe} PROPERTIES LABELS ${label} TIMEOUT ${ARG_TIMEOUT})
endfunction()

function(dun_host_tool var exe)
  set(${var} ${DUN_NATIVE_BIN}/${exe} PARENT_SCOPE)
endfunction()
