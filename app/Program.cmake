# The program Pagorin.exe with its five forms; it needs the visual half of the class library and the
# disc road with the device lab's robot and burning libraries.
if(NOT TARGET ktrobots20)
  return()
endif()
add_executable(Pagorin WIN32
  ${CMAKE_CURRENT_LIST_DIR}/Pagorin.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainTransactions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Settings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/About.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SelectScanner.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Alert.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DiscEventsWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DiscJobWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PdfRoadWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LaterSteps.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TwainWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WideText.cpp
)
target_include_directories(Pagorin PRIVATE ${PROJECT_SOURCE_DIR}/simulators/include)
target_link_libraries(Pagorin PRIVATE pagorin_core pagorin_disc pagorin_pdf pagorin_twain pagorin_tree wyd vcl qv ktrobots20
                      shell32)
pagorin_version_resource(Pagorin "Pagorin scan-to-disc" "Pagorin.exe")
set(forms ${PROJECT_SOURCE_DIR}/resources/forms)
vcl_add_forms(Pagorin ${forms}/frmMain.dfm ${forms}/frmSettings.dfm ${forms}/frmAbout.dfm
              ${forms}/frmSelectScanner.dfm ${forms}/frmAlert.dfm)
add_dependencies(Pagorin Quenfold)
