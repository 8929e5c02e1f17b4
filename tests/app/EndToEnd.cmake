# Pagorin.exe itself under Wine: first start, single-instance hand-over, language switch, the disc robot,
# the transactions and the commands, and the sequences that once left it stuck. The cases use the prefix's real product key and may start Quenfold,
# so each runs in a prefix of its own.
if(NOT TARGET Pagorin)
  return()
endif()
foreach(program pagorin_e2e_tests:PagorinEndToEndTests pagorin_window_e2e_tests:PagorinTransactionTests
                pagorin_flow_e2e_tests:PagorinJobFlowTests pagorin_fault_e2e_tests:PagorinDiscFaultTests
                pagorin_wayout_e2e_tests:PagorinWayOutTests)
  string(REPLACE ":" ";" parts ${program})
  list(GET parts 0 target)
  list(GET parts 1 source)
  add_executable(${target} ${CMAKE_CURRENT_LIST_DIR}/${source}.cpp)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests/vcl)
  target_link_libraries(${target} PRIVATE GTest::gtest_main testsupport twainclient windowpicture advapi32 comctl32)
  target_compile_definitions(${target} PRIVATE
    PAGORIN_LANGUAGE_FILE="Z:${PROJECT_SOURCE_DIR}/resources/lang/Pagorin.ini"
    PAGORIN_SCREENSHOT_DIR="Z:${CMAKE_CURRENT_BINARY_DIR}")
  add_dependencies(${target} Pagorin Quenfold virtualscanner)
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES TIMEOUT 180 ${PAGORIN_WINDOW_ALONE})
endforeach()
# The job flow's cases make their pages with the imaging components; the hot-key run's disc image and PDF are
# judged on the Linux side by xorriso and qpdf.
target_link_libraries(pagorin_flow_e2e_tests PRIVATE labtestimages)
target_link_libraries(pagorin_fault_e2e_tests PRIVATE labtestimages)
target_link_libraries(pagorin_wayout_e2e_tests PRIVATE labtestimages)
add_dependencies(pagorin_flow_e2e_tests fendrix)
add_dependencies(pagorin_wayout_e2e_tests fendrix)
add_test(NAME JobFlowImage.HotKeyRunDiscHoldsThePageAndItsPdf
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/check-flow-image.sh ${CMAKE_BINARY_DIR})
set_tests_properties(JobFlowImage.HotKeyRunDiscHoldsThePageAndItsPdf PROPERTIES TIMEOUT 240 ${PAGORIN_WINDOW_ALONE})

# Pagorin ended abruptly at random points of both roads, by TerminateProcess from the driver and, in the
# script's case, by SIGKILL from Linux; the next start restores and writes the queue. PAGORIN_CRASH_RUNS and
# PAGORIN_CRASH_SEED lengthen or repeat a loop (see the test's source).
add_executable(pagorin_crash_tests ${CMAKE_CURRENT_LIST_DIR}/PagorinCrashTests.cpp
               ${PROJECT_SOURCE_DIR}/simulators/burner/IsoReader.cpp)
target_include_directories(pagorin_crash_tests PRIVATE ${PROJECT_SOURCE_DIR}/simulators/burner ${PROJECT_SOURCE_DIR}/tests/vcl)
target_link_libraries(pagorin_crash_tests PRIVATE GTest::gtest_main testsupport twainclient labtestimages lab advapi32)
target_compile_definitions(pagorin_crash_tests PRIVATE
  PAGORIN_LANGUAGE_FILE="Z:${PROJECT_SOURCE_DIR}/resources/lang/Pagorin.ini")
add_dependencies(pagorin_crash_tests Pagorin fendrix virtualscanner)
gtest_discover_tests(pagorin_crash_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                     PROPERTIES TIMEOUT 600 ${PAGORIN_WINDOW_ALONE})
add_test(NAME PagorinCrash.SigkillFromLinuxLosesNoPage
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/check-crash-sigkill.sh ${CMAKE_BINARY_DIR})
set_tests_properties(PagorinCrash.SigkillFromLinuxLosesNoPage PROPERTIES TIMEOUT 600 ${PAGORIN_WINDOW_ALONE})

# Not a test: Pagorin's start with 10,000 leftover transactions beside its empty start and Wine's notepad.
add_executable(pagorin_queue_benchmark ${CMAKE_CURRENT_LIST_DIR}/QueueRestoreBenchmark.cpp)
target_link_libraries(pagorin_queue_benchmark PRIVATE testsupport)
add_dependencies(pagorin_queue_benchmark Pagorin)

# The first start compares the setup tool's installed files with the database attached to it.
target_link_libraries(pagorin_e2e_tests PRIVATE tinyxml shell32)
target_compile_definitions(pagorin_e2e_tests PRIVATE
  PAGORIN_DRIVER_DATABASE="Z:${PROJECT_SOURCE_DIR}/resources/drvdb/driverdatabase-setup.xml")
# The job flow's discs are read back through the burner's own image reader.
target_sources(pagorin_flow_e2e_tests PRIVATE ${PROJECT_SOURCE_DIR}/simulators/burner/IsoReader.cpp)
target_include_directories(pagorin_flow_e2e_tests PRIVATE ${PROJECT_SOURCE_DIR}/simulators/burner)

# Seeded operator sequences on both roads, each checked once it has come to rest; PAGORIN_OPERATOR_RUNS and
# PAGORIN_OPERATOR_SEED lengthen or repeat them (see the test's source).
add_executable(pagorin_operator_tests ${CMAKE_CURRENT_LIST_DIR}/PagorinOperatorTests.cpp
               ${CMAKE_CURRENT_LIST_DIR}/LatePagesOfAFailedPdfTests.cpp
               ${CMAKE_CURRENT_LIST_DIR}/StartRightAfterAScanTests.cpp
               ${CMAKE_CURRENT_LIST_DIR}/StartOverAHeldPageTests.cpp
               ${CMAKE_CURRENT_LIST_DIR}/HandOverDuringAScanFailureTests.cpp
               ${CMAKE_CURRENT_LIST_DIR}/CancelAtTheEmptyInputBinTests.cpp
               ${CMAKE_CURRENT_LIST_DIR}/CountdownAfterAFailedJobTests.cpp
               ${CMAKE_CURRENT_LIST_DIR}/CloseQuestionOverTheLastDiscTests.cpp
               ${CMAKE_CURRENT_LIST_DIR}/UnloadFailedInALockedWriterTests.cpp
               ${CMAKE_CURRENT_LIST_DIR}/OperatorDriver.cpp ${PROJECT_SOURCE_DIR}/simulators/burner/IsoReader.cpp)
target_include_directories(pagorin_operator_tests PRIVATE ${PROJECT_SOURCE_DIR}/simulators/burner ${PROJECT_SOURCE_DIR}/tests/vcl)
target_link_libraries(pagorin_operator_tests PRIVATE GTest::gtest_main testsupport twainclient labtestimages lab advapi32 comctl32)
target_compile_definitions(pagorin_operator_tests PRIVATE
  PAGORIN_LANGUAGE_FILE="Z:${PROJECT_SOURCE_DIR}/resources/lang/Pagorin.ini")
add_dependencies(pagorin_operator_tests Pagorin fendrix virtualscanner)
gtest_discover_tests(pagorin_operator_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                     PROPERTIES TIMEOUT 900 ${PAGORIN_WINDOW_ALONE})
