# Pictures of windows taken of the window itself, for every program that saves screenshots, and the hook
# library that takes them inside another process. The library name is the one the picture code loads.
add_library(windowpicture STATIC ${CMAKE_CURRENT_LIST_DIR}/WindowPicture.cpp)
target_include_directories(windowpicture PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(windowpicture PUBLIC gdiplus gdi32 user32)
add_library(windowpicture_hook SHARED ${CMAKE_CURRENT_LIST_DIR}/WindowPictureHook.cpp
                                      ${CMAKE_CURRENT_LIST_DIR}/WindowPicture.cpp)
set_target_properties(windowpicture_hook PROPERTIES OUTPUT_NAME windowpicture PREFIX "")
target_link_libraries(windowpicture_hook PRIVATE gdiplus gdi32 user32)
target_link_options(windowpicture_hook PRIVATE -Wl,--kill-at)
add_dependencies(windowpicture windowpicture_hook)

# Window tests of the visual half of the class library (real windows on the test display).
pagorin_add_gtest(vcl_visual_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/WindowTestSupport.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ControlsTests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FormsTests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FormsMDITests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DockingTests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ComCtrlsItemsTests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ComCtrlsTests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ComCtrlsTreeStateTests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DemoFormTests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StdCtrlsTests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SysColorTests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FramesTests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ImageListTests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BitmapFileTests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WindowPictureTests.cpp
  LIBS vcl windowpicture
  LABELS window)
target_include_directories(vcl_visual_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR})
# Cases that move the mouse or take the focus: each runs alone.
pagorin_add_gtest(vcl_focus_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/WindowTestSupport.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StdActnsTests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ContainerEditHintTests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TreeRightClickTests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ActiveControlTests.cpp
  LIBS vcl
  LABELS window
  ALONE)
target_include_directories(vcl_focus_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR})
# The demo form goes through the build's form compiler into the test program's resources.
vcl_add_forms(vcl_visual_tests ${CMAKE_CURRENT_LIST_DIR}/forms/frmDemo.dfm)
# Menus and action links: shortcuts are typed and hints shown under the mouse, so each case runs alone.
pagorin_add_gtest(vcl_menu_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/WindowTestSupport.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MenusActionsTests.cpp
  LIBS vcl
  LABELS window
  ALONE)
target_include_directories(vcl_menu_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR})
# The toolkit's common controls: rich edit streams and pages, ranges, pickers, the extended combo box,
# the page scroller and the control bar.
pagorin_add_gtest(vcl_toolkit_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/WindowTestSupport.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RichEditTests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ToolkitControlsTests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ToolkitStreamTests.cpp
  LIBS vcl
  LABELS window)
target_include_directories(vcl_toolkit_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR})
# The toolkit's cases that take the focus, the common dialogs among them (run for real and answered by a
# second thread): one at a time.
pagorin_add_gtest(vcl_toolkit_focus_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/WindowTestSupport.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DialogTestSupport.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DialogsTests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ToolkitFocusTests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StdActnsToolkitTests.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ToolkitDialogs.rc
  LIBS vcl shlwapi ole32 uuid
  LABELS window
  ALONE)
target_include_directories(vcl_toolkit_focus_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR})
# Not a test: pictures of other programs' windows for the main job.  windowshot <wait-ms> <class>=<png> ...
add_executable(windowshot ${CMAKE_CURRENT_LIST_DIR}/WindowShot.cpp)
target_link_libraries(windowshot PRIVATE windowpicture)
target_link_options(windowshot PRIVATE -municode)
