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

# Window tests share the one virtual display. Each takes one of its slots (tests/display.json gives it eight);
# a case that needs the display's mouse, focus or foreground window to itself takes all of them, so it runs
# with no other window beside it while tests without windows go on. ctest keeps to this when given the file
# (`--resource-spec-file`, as tools/test.sh does).
set(PAGORIN_WINDOW_TEST LABELS window RESOURCE_GROUPS display:1)
set(PAGORIN_WINDOW_ALONE LABELS window RESOURCE_GROUPS display:8)
# The cost that starts the cases holding a lock first (see pagorin_tests_list_property).
set(PAGORIN_LOCK_HOLDER_COST 1000)

# A GoogleTest program run by ctest under Wine: one ctest entry for each test case it holds.
#   pagorin_add_gtest(name SOURCES a.cpp b.cpp [LIBS x y] [LABELS window] [SERIAL])
# LABELS window marks cases that show windows; SERIAL gives each of them the display to itself.
function(pagorin_add_gtest name)
  cmake_parse_arguments(T "SERIAL" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE GTest::gtest_main testsupport ${T_LIBS})
  set(properties TIMEOUT 120)
  if(T_SERIAL)
    list(APPEND properties ${PAGORIN_WINDOW_ALONE})
  elseif("window" IN_LIST T_LABELS)
    list(APPEND properties ${PAGORIN_WINDOW_TEST})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 PROPERTIES ${properties})
endfunction()
include(GoogleTest)

# Gives every case that gtest_discover_tests found in a test program a property whose value is a list, such as
# two resource locks. gtest_discover_tests flattens its PROPERTIES, so a list handed to it loses all but its
# first item and shifts the properties after it; this file runs after the discovery, on its list of cases.
#   pagorin_tests_list_property(target RESOURCE_LOCK "lock_a;lock_b")
# Cases that hold a lock wait for each other, one at a time: they are started before the rest (a cost above
# every other's), so that their chain does not come last and stretch the run.
function(pagorin_tests_list_property target property value)
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}_${property}.cmake)
  set(cost "")
  if(property STREQUAL "RESOURCE_LOCK")
    set(cost " COST ${PAGORIN_LOCK_HOLDER_COST}")
  endif()
  file(WRITE ${script} "set_tests_properties(\${${target}_TESTS} PROPERTIES ${property} \"${value}\"${cost})\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${script})
endfunction()
