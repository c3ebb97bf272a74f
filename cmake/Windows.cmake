# Windows tree: kavrin.exe and its tests, run under Wine.
set(KAVRIN_WIN_LIBS comctl32 shell32 shlwapi ole32 oleaut32 uuid wininet version gdi32 user32 comdlg32)

add_library(kavrin_win STATIC
  win/Dialog.cpp
  win/WideString.cpp
  win/WindowPlacement.cpp
  win/WorkerThread.cpp
  win/PumpingWait.cpp
  win/ModulePath.cpp
  win/FilePath.cpp
  engine/FileCrc.cpp
  engine/SfvFile.cpp
  engine/CheckThread.cpp
  engine/FolderWalk.cpp
  engine/CreateThread.cpp
  create/KavrinProgress.cpp
  create/DropFileListCtrl.cpp
  create/KavrinCreate.cpp
  app/AppArgs.cpp
  app/DragListCtrl.cpp
  app/KavrinDlg.cpp
  shell/FileTypeAssociation.cpp
  shell/ProgramVersion.cpp
  shell/UpdateThread.cpp
  shell/SubclassWnd.cpp
  shell/DropHook.cpp
  shell/TrayIcon.cpp
)
target_link_libraries(kavrin_win PUBLIC kavrin_core ${KAVRIN_WIN_LIBS})
target_compile_definitions(kavrin_win PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                                             _WIN32_WINNT=0x0601 WINVER=0x0601)
target_compile_definitions(kavrin_core PUBLIC UNICODE _UNICODE)

set(KAVRIN_RC ${CMAKE_SOURCE_DIR}/res/kavrin.rc)
set_source_files_properties(${KAVRIN_RC} PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/res/kavrin.manifest;${CMAKE_SOURCE_DIR}/res/resource.h;${CMAKE_BINARY_DIR}/generated/BuildSettings.h")

add_executable(kavrin WIN32 app/Main.cpp ${KAVRIN_RC})
target_link_libraries(kavrin PRIVATE kavrin_win)
target_link_options(kavrin PRIVATE -static -municode)

# Tests: GoogleTest from Debian's sources, built for the target.
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Wine runs the test programs, in a prefix of this build folder.
set(KAVRIN_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
configure_file(${CMAKE_SOURCE_DIR}/scripts/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)

include(GoogleTest)
add_executable(kavrin_tests
  ${KAVRIN_CORE_TESTS}
  tests/engine/FileCrc_ut.cpp
  tests/engine/FolderWalk_ut.cpp
  tests/shell/FileTypeAssociation_ut.cpp
  tests/shell/UpdateThread_ut.cpp
  tests/shell/SubclassWnd_ut.cpp
  tests/shell/TrayIcon_ut.cpp
  tests/app/Startup_ut.cpp
  tests/app/KavrinDlg_ut.cpp
  tests/app/DragListCtrl_ut.cpp
  tests/app/Stress_ut.cpp
  tests/win/Handle_ut.cpp
  tests/win/Dialog_ut.cpp
  tests/win/FilePath_ut.cpp
  tests/res/Resources_ut.cpp
  tests/create/KavrinProgress_ut.cpp
  tests/create/DropFileListCtrl_ut.cpp
  tests/create/CreateRun_ut.cpp
  tests/create/WriteFailure_ut.cpp
  tests/create/KavrinCreate_ut.cpp
  tests/create/Screenshots_ut.cpp
  tests/create/CreateSupport.cpp
  tests/TestSupport.cpp
  tests/LocalHttpServer.cpp
  tests/res/TestResources.rc
  ${KAVRIN_RC}
)
target_include_directories(kavrin_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(kavrin_tests PRIVATE kavrin_win gtest gtest_main ws2_32)
target_link_options(kavrin_tests PRIVATE -static)
# GCC 12 reports std::string concatenations in the tests as overlapping copies (a known false positive).
target_compile_options(kavrin_tests PRIVATE -Wno-restrict)
add_dependencies(kavrin_tests kavrin)
target_compile_definitions(kavrin_tests PRIVATE
  KAVRIN_EXE_NAME_W=L"kavrin.exe")
# The program's pause events are named and so shared by every process in the prefix: tests that
# hold or pause them must not run beside each other.
gtest_discover_tests(kavrin_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                     WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
                     PROPERTIES RESOURCE_LOCK kavrin_named_events)

# A small tool that clicks a window's button from outside; it stages the documentation's screenshots.
add_executable(post-command tests/tools/PostCommand.cpp)
target_link_options(post-command PRIVATE -static -municode)

# End-to-end benchmarks under Wine (bench/end-to-end.sh): the verification run and the creation run
# driven in-process, and the platform's cost of a cross-thread control update and of a pause-event
# wait.
add_executable(kavrin_verify_bench bench/VerifyRun_bench.cpp tests/TestSupport.cpp ${KAVRIN_RC})
target_include_directories(kavrin_verify_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(kavrin_verify_bench PRIVATE kavrin_win)
target_link_options(kavrin_verify_bench PRIVATE -static -municode)
target_compile_definitions(kavrin_verify_bench PRIVATE KAVRIN_EXE_NAME_W=L"kavrin.exe")
add_executable(kavrin_wine_costs bench/WineCosts_bench.cpp)
target_link_libraries(kavrin_wine_costs PRIVATE comctl32 user32)
target_link_options(kavrin_wine_costs PRIVATE -static -municode)
target_compile_definitions(kavrin_wine_costs PRIVATE UNICODE _UNICODE)
add_executable(kavrin_create_bench bench/CreateRun_bench.cpp tests/TestSupport.cpp tests/create/CreateSupport.cpp
               ${KAVRIN_RC})
target_include_directories(kavrin_create_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(kavrin_create_bench PRIVATE kavrin_win)
target_link_options(kavrin_create_bench PRIVATE -static -municode)
target_compile_definitions(kavrin_create_bench PRIVATE KAVRIN_EXE_NAME_W=L"kavrin.exe")
