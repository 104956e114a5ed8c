# The unit tests of the platform-independent units and of the browser platform's pure units,
# built with emscripten and run under Node (ctest -L wasm). They see the real files (the
# Linux build's game folder, the system's fonts, temporary folders) through Node. GoogleTest
# is built here from the system's own source package (googletest), as for Windows.
set(TANGREL_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "source of GoogleTest (package googletest)")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(${TANGREL_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

find_program(TANGREL_NODE NAMES node nodejs REQUIRED)
add_custom_target(web_tests)

# name and its sources.
function(tangrel_wasm_test_of name)
  add_executable(test_${name} ${ARGN})
  target_compile_options(test_${name} PRIVATE ${TANGREL_WARNINGS})
  target_include_directories(test_${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(test_${name} PRIVATE platform_fake platform_web_units game_core files_posix
    GTest::gtest GTest::gtest_main)
  target_compile_definitions(test_${name} PRIVATE
    TANGREL_SOURCE_DIR="${CMAKE_SOURCE_DIR}" TANGREL_GAME_DIR="${TANGREL_GAME_DATA}")
  target_link_options(test_${name} PRIVATE -sNODERAWFS=1 -sENVIRONMENT=node -sALLOW_MEMORY_GROWTH=1
    -sINITIAL_MEMORY=64MB -sTOTAL_STACK=1MB -sEXIT_RUNTIME=1)
  set_target_properties(test_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests SUFFIX ".js")
  add_dependencies(web_tests test_${name})
  # Node 18 and later would fetch the .wasm file as a URL: reading it from disk instead.
  set(filter)
  if(TANGREL_WASM_SKIP_${name})
    list(JOIN TANGREL_WASM_SKIP_${name} ":" skip)
    set(filter "--gtest_filter=-${skip}")
  endif()
  add_test(NAME wasm_${name} COMMAND ${TANGREL_NODE} --no-experimental-fetch $<TARGET_FILE:test_${name}> ${filter}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  set_tests_properties(wasm_${name} PROPERTIES LABELS wasm TIMEOUT 300)
endfunction()

include(${CMAKE_SOURCE_DIR}/cmake/SharedUnitTests.cmake)

# What Node under emscripten cannot show, and the desktop builds test: a pipe or a folder that
# cannot be written (its files report neither; a page has no such files at all), threads (none
# here), and the error lines on standard error (they go to Node's console, past GoogleTest's
# capture of the descriptor).
set(TANGREL_WASM_SKIP_settings
  ReestrTest.SaveInterruptedBeforeRenameLeavesOldFilesIntact ReestrTest.UnwritableFolderFailsWithoutLosingTheOldFile
  ReestrTest.PipesInPlaceOfTheFilesDoNotHang ReestrTest.SettingsFolderThatCannotBeCreated)
set(TANGREL_WASM_SKIP_platform_shared
  FilesTest.WhatIsNotARegularFileCannotBeOpened FilesTest.PackagesAndLevelFilesComeThroughTheSameDoor
  EventQueue.EventsPostedFromOtherThreadsAllArriveEachThreadsInOrder)

# Here also the heads-up display, the menu and the window.
tangrel_shared_unit_tests(wasm hud menu window)
# The browser platform's own pure units: keys, touch gestures, stored values, wave conversion.
tangrel_folder_test(wasm web_platform)
