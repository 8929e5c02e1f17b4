# Pagorin.exe itself under Wine: first start, single-instance hand-over, language switch. The cases use the
# prefix's real product key and may start Quenfold, so they hold both locks.
if(NOT TARGET Pagorin)
  return()
endif()
add_executable(pagorin_e2e_tests ${CMAKE_CURRENT_LIST_DIR}/PagorinEndToEndTests.cpp)
target_link_libraries(pagorin_e2e_tests PRIVATE GTest::gtest_main testsupport twainclient gdiplus advapi32)
target_compile_definitions(pagorin_e2e_tests PRIVATE
  PAGORIN_LANGUAGE_FILE="Z:${PROJECT_SOURCE_DIR}/resources/lang/Pagorin.ini"
  PAGORIN_SCREENSHOT_DIR="Z:${CMAKE_CURRENT_BINARY_DIR}")
add_dependencies(pagorin_e2e_tests Pagorin Quenfold virtualscanner)
gtest_discover_tests(pagorin_e2e_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                     PROPERTIES TIMEOUT 180 LABELS window)
pagorin_tests_list_property(pagorin_e2e_tests RESOURCE_LOCK "pagorin_product_key;quenfold_install_targets")
