# The visual half of the class library: windows, application, forms, graphics and controls.
target_sources(vcl PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Graphics.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Controls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Forms.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ActnList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StdActns.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Menus.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StdCtrls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Dialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ExtCtrls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImgList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ComCtrlsTree.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ComCtrlsBars.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ComCtrlsTabs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ComCtrlsList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ComCtrlsRichEdit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Buttons.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CSpin.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AppEvnts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Clipbrd.cpp
)
# The toolkit's extra common controls and the control bar.
target_sources(vcl PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ComCtrlsRanges.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ComCtrlsPager.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ComCtrlsPickers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ComCtrlsComboEx.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ExtCtrlsControlBar.cpp
)
# The common dialogs.
target_sources(vcl PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/DialogsCommon.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DialogsChoosers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DialogsFind.cpp
)
# The dialog, window and help actions, and the program's help.
target_sources(vcl PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/StdActnsDialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormsHelp.cpp
)
# MDI forms and docking.
target_sources(vcl PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/FormsMDI.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormsDock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ControlsDock.cpp
)
target_link_libraries(vcl PUBLIC user32 gdi32 comctl32 comdlg32 msimg32 shell32)
