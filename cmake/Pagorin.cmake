# Helpers shared by every folder: programs with their version block, and tests that run under Wine.

# Gives a program or library the version block every Windows program carries.
#   pagorin_version_resource(target "File description" "Original file name")
function(pagorin_version_resource target description original_name)
  set(PV_DESCRIPTION "${description}")
  set(PV_ORIGINAL_NAME "${original_name}")
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set(PV_FILE_TYPE "VFT_APP")
  else()
    set(PV_FILE_TYPE "VFT_DLL")
  endif()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/resources/version/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()

# Window tests share the build tree's prefix and its display. A case that needs the mouse, the focus or the
# foreground window to itself, or that changes the prefix's machine-wide state (Pagorin's product key,
# Quenfold's install targets), runs alone in a prefix of its own instead: a copy of the build tree's prefix
# with its own wineserver and display, one case at a time in each (the `prefix` resource, which
# tools/common.sh's start_case_prefixes lays out and tools/wine-run enters). Such cases make the longest
# chains of the run, so they start first (the highest cost). ctest keeps to this when given the resource file
# (`--resource-spec-file "$RESOURCE_SPEC"`, as tools/test.sh does); without it they run in the build tree's
# prefix, and only one of them at a time may run.
set(PAGORIN_WINDOW_TEST LABELS window)
set(PAGORIN_CASE_PREFIX RESOURCE_GROUPS prefix:1 COST 1000)
set(PAGORIN_WINDOW_ALONE LABELS window ${PAGORIN_CASE_PREFIX})

# A GoogleTest program run by ctest under Wine: one ctest entry for each test case it holds.
#   pagorin_add_gtest(name SOURCES a.cpp b.cpp [LIBS x y] [LABELS window] [ALONE] [FILTER gtest-filter])
# LABELS window marks cases that show windows; ALONE runs each of them in a prefix of its own. FILTER limits
# the cases given an entry (such as "-Suite.*" for cases that ctest runs otherwise, under another locale).
function(pagorin_add_gtest name)
  cmake_parse_arguments(T "ALONE" "FILTER" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE GTest::gtest_main testsupport ${T_LIBS})
  set(properties TIMEOUT 120)
  if(T_ALONE)
    list(APPEND properties ${PAGORIN_WINDOW_ALONE})
  elseif("window" IN_LIST T_LABELS)
    list(APPEND properties ${PAGORIN_WINDOW_TEST})
  endif()
  if(T_FILTER)
    set(filter TEST_FILTER ${T_FILTER})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 ${filter} PROPERTIES ${properties})
endfunction()
include(GoogleTest)

# Gives every case that gtest_discover_tests found in a test program a property whose value is a list, such as
# two labels. gtest_discover_tests flattens its PROPERTIES, so a list handed to it loses all but its first
# item and shifts the properties after it; this file runs after the discovery, on its list of cases.
#   pagorin_tests_list_property(target LABELS "fuzz;window")
function(pagorin_tests_list_property target property value)
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}_${property}.cmake)
  file(WRITE ${script} "set_tests_properties(\${${target}_TESTS} PROPERTIES ${property} \"${value}\")\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${script})
endfunction()
