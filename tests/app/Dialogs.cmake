# Pagorin's dialogs in the test's own process on real windows, with the prefix's real product key and the
# lab's virtual scanner; they take the focus and open menus, and each runs in a prefix of its own.
if(NOT TARGET pagorin_forms OR NOT TARGET twainclient)
  return()
endif()
pagorin_add_gtest(pagorin_dialog_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/SettingsDialogTests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ScannerChooserTests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DialogPictureTests.cpp
    ${PROJECT_SOURCE_DIR}/tests/vcl/WindowTestSupport.cpp
  LIBS pagorin_forms twainclient windowpicture
  LABELS window
  ALONE)
target_include_directories(pagorin_dialog_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/vcl)
target_compile_definitions(pagorin_dialog_tests PRIVATE
  PAGORIN_LANGUAGE_FILE="Z:${PROJECT_SOURCE_DIR}/resources/lang/Pagorin.ini"
  PAGORIN_SCREENSHOT_DIR="Z:${CMAKE_CURRENT_BINARY_DIR}")
get_property(forms GLOBAL PROPERTY PAGORIN_FORMS)
vcl_add_forms(pagorin_dialog_tests ${forms})
add_dependencies(pagorin_dialog_tests virtualscanner)

# The main window's job flow in the test's own process: the forms without their start-up work, the robot's
# part played through the shared state; the real product key, so each case runs alone.
pagorin_add_gtest(pagorin_mainwindow_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/MainWindowFlowTests.cpp
    ${PROJECT_SOURCE_DIR}/tests/vcl/WindowTestSupport.cpp
  LIBS pagorin_forms
  LABELS window
  ALONE)
target_include_directories(pagorin_mainwindow_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/vcl)
target_compile_definitions(pagorin_mainwindow_tests PRIVATE
  PAGORIN_LANGUAGE_FILE="Z:${PROJECT_SOURCE_DIR}/resources/lang/Pagorin.ini")
vcl_add_forms(pagorin_mainwindow_tests ${forms})
