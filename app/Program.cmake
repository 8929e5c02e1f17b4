# The program Pagorin.exe with its five forms; it needs the visual half of the class library, the Unicode and
# check-tree layers, and the disc road with the device lab's robot and burning libraries. The forms live in a
# library of their own, which the dialog tests drive in their own process.
if(NOT TARGET ktrobots20 OR NOT TARGET wyd OR NOT TARGET qv)
  return()
endif()
add_library(pagorin_forms STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainTransactions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainJobFlow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Settings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/About.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SelectScanner.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Alert.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DiscEventsWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DiscJobWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PdfRoadWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TwainWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WideText.cpp
)
target_include_directories(pagorin_forms PUBLIC ${PROJECT_SOURCE_DIR}/simulators/include)
target_link_libraries(pagorin_forms PUBLIC pagorin_core pagorin_disc pagorin_pdf pagorin_twain pagorin_tree wyd qv vcl
                      ktrobots20 winmm shell32)
# The form layouts, compiled into the resources of a program that shows the forms.
set(PAGORIN_FORMS frmMain.dfm frmSettings.dfm frmAbout.dfm frmSelectScanner.dfm frmAlert.dfm)
list(TRANSFORM PAGORIN_FORMS PREPEND ${PROJECT_SOURCE_DIR}/resources/forms/)
set_property(GLOBAL PROPERTY PAGORIN_FORMS ${PAGORIN_FORMS})

add_executable(Pagorin WIN32 ${CMAKE_CURRENT_LIST_DIR}/Pagorin.cpp)
target_link_libraries(Pagorin PRIVATE pagorin_forms)
pagorin_version_resource(Pagorin "Pagorin scan-to-disc" "Pagorin.exe")
vcl_add_forms(Pagorin ${PAGORIN_FORMS})
add_dependencies(Pagorin Quenfold)
