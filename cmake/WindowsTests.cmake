# The unit tests of the platform-independent units, built with mingw and run under wine64,
# so the Windows compiler's and runtime's differences show. GoogleTest is built here from the
# system's own source package (googletest); one Wine prefix serves the whole run.
find_program(TANGREL_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(TANGREL_WINE64 NAMES wine64)
if(NOT TANGREL_WINE64)
  message(FATAL_ERROR "TANGREL_WIN_TESTS needs wine64 (package wine64)")
endif()
set(TANGREL_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "source of GoogleTest (package googletest)")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${TANGREL_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

enable_testing()

# One prefix for the run: made fresh by the first test, used by all the others.
set(TANGREL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(TANGREL_WINE_ENV "WINEPREFIX=${TANGREL_WINEPREFIX};WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=")
add_test(NAME wine_prefix
  COMMAND sh -c "rm -rf '${TANGREL_WINEPREFIX}' && '${TANGREL_WINE64}' wineboot -i >/dev/null 2>&1 && wineserver -w && test -f '${TANGREL_WINEPREFIX}/system.reg'")
set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine ENVIRONMENT "${TANGREL_WINE_ENV}" TIMEOUT 180)

# Test programs sit beside the fonts, as tangrel.exe does in its folder.
set(TANGREL_WIN_TEST_DIR ${CMAKE_BINARY_DIR}/tests)
file(MAKE_DIRECTORY ${TANGREL_WIN_TEST_DIR})
add_custom_target(test_fonts
  COMMAND ${CMAKE_COMMAND} -E copy_if_different
          ${TANGREL_FONT_SOURCE}/LiberationSerif-Regular.ttf ${TANGREL_FONT_SOURCE}/LiberationSerif-Bold.ttf
          ${TANGREL_FONT_SOURCE}/LiberationSans-Regular.ttf ${TANGREL_FONT_SOURCE}/LiberationSans-Bold.ttf
          ${TANGREL_WIN_TEST_DIR})

include(${CMAKE_SOURCE_DIR}/cmake/SharedUnitTests.cmake)

# name and its sources.
function(tangrel_wine_test_of name)
  add_executable(test_${name} ${ARGN})
  target_compile_options(test_${name} PRIVATE ${TANGREL_WARNINGS})
  target_include_directories(test_${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(test_${name} PRIVATE platform_fake game_core GTest::gtest GTest::gtest_main)
  target_compile_definitions(test_${name} PRIVATE
    TANGREL_SOURCE_DIR="${CMAKE_SOURCE_DIR}" TANGREL_GAME_DIR="${TANGREL_GAME_DATA}")
  set_target_properties(test_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TANGREL_WIN_TEST_DIR}
    CROSSCOMPILING_EMULATOR ${TANGREL_WINE64})
  add_dependencies(test_${name} test_fonts)
  add_test(NAME win_${name} COMMAND test_${name} WORKING_DIRECTORY ${TANGREL_WIN_TEST_DIR})
  set_tests_properties(win_${name} PROPERTIES FIXTURES_REQUIRED wine ENVIRONMENT "${TANGREL_WINE_ENV}" TIMEOUT 300)
endfunction()

tangrel_shared_unit_tests(wine)

# The Win32 platform's own tests: they link the real platform.
tangrel_folder_test(wine win32)
target_link_libraries(test_win32 PRIVATE platform_win32)

# tangrel.exe needs no DLLs beside the system's own.
add_test(NAME win_system_dlls_only
  COMMAND sh -c "'${CMAKE_OBJDUMP}' -p '$<TARGET_FILE:tangrel>' | awk '/DLL Name:/ { print tolower($3) }' | grep -vxE 'kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|shell32.dll|winmm.dll|msacm32.dll|msvcrt.dll' && exit 1 || exit 0")

# tangrel.exe's resources read back: the icon at every size, the version, the manifest.
add_test(NAME win_resources COMMAND bash ${CMAKE_SOURCE_DIR}/tests/win32/check_resources.sh $<TARGET_FILE:tangrel>)

# The zip's README.txt: there, with Windows line endings, saying what a player needs.
add_test(NAME win_zip_readme COMMAND bash ${CMAKE_SOURCE_DIR}/tests/win32/zip_readme.sh ${CMAKE_BINARY_DIR}/${TANGREL_WIN_ZIP})

# The end-to-end test of the zip, against the Linux build's menu when its game folder is known.
add_test(NAME e2e_wine
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/run_e2e_wine.sh ${CMAKE_BINARY_DIR}/${TANGREL_WIN_ZIP} ${TANGREL_GAME_DATA})
# Alone: next to another Wine program in the same prefix its window may fail to open.
set_tests_properties(e2e_wine PROPERTIES FIXTURES_REQUIRED wine ENVIRONMENT "${TANGREL_WINE_ENV}" TIMEOUT 400
  RUN_SERIAL TRUE)

# The same walk with the game unpacked into a folder named in Cyrillic and Chinese letters with
# a space, under the ANSI code page of an English system (1252): every path the game hands the
# system must go through the wide calls. The game is tangrel.exe without its manifest, whose
# UTF-8 code page (which Wine honours) would let an ANSI call pass unseen; everything else is
# the zip's. Wine reads Unix file names in the locale's charset, hence the UTF-8 locale.
file(READ ${CMAKE_BINARY_DIR}/tangrel.rc _rc)
string(REGEX REPLACE "\n1 24 [^\n]*" "\n" _rc "${_rc}")
file(WRITE ${CMAKE_BINARY_DIR}/tangrel-no-manifest.rc "${_rc}")
set_source_files_properties(${CMAKE_BINARY_DIR}/tangrel-no-manifest.rc PROPERTIES OBJECT_DEPENDS "${TANGREL_WIN_ICON}")
set(_ansi_dir ${CMAKE_BINARY_DIR}/no-manifest/${TANGREL_WIN_DIR_NAME})
add_executable(tangrel_no_manifest WIN32 ${CMAKE_SOURCE_DIR}/src/app/main_win32.cpp ${CMAKE_BINARY_DIR}/tangrel-no-manifest.rc)
target_compile_options(tangrel_no_manifest PRIVATE "$<$<COMPILE_LANGUAGE:CXX>:${TANGREL_WARNINGS}>")
target_link_libraries(tangrel_no_manifest PRIVATE platform_win32 game_core)
set_target_properties(tangrel_no_manifest PROPERTIES OUTPUT_NAME tangrel RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/no-manifest/bin)
set(TANGREL_NO_MANIFEST_ZIP ${CMAKE_BINARY_DIR}/no-manifest/Tangrel-2.0-win64-no-manifest.zip)
add_custom_target(zip_no_manifest
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${TANGREL_GAME_DIR} ${_ansi_dir}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:tangrel_no_manifest> ${_ansi_dir}/tangrel.exe
  COMMAND ${CMAKE_COMMAND} -E rm -f ${TANGREL_NO_MANIFEST_ZIP} ${_ansi_dir}/Users.dat
  COMMAND ${CMAKE_COMMAND} -E tar cf ${TANGREL_NO_MANIFEST_ZIP} --format=zip ${TANGREL_WIN_DIR_NAME}
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/no-manifest
  DEPENDS tangrel tangrel_no_manifest game_folder
  COMMENT "Writing the game without its manifest for the Unicode-folder walk")
add_test(NAME e2e_wine_unicode
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/run_e2e_wine.sh ${TANGREL_NO_MANIFEST_ZIP} ${TANGREL_GAME_DATA})
set_tests_properties(e2e_wine_unicode PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 400 RUN_SERIAL TRUE
  ENVIRONMENT "${TANGREL_WINE_ENV};LANG=C.UTF-8;LC_ALL=C.UTF-8;TANGREL_E2E_FOLDER_NAME=Игра 游戏")

# The installer, silently, into a prefix of its own (made fresh by the test): install, the
# game from the Start-menu shortcut, progress saved, silent uninstall.
if(TARGET installer AND TANGREL_MAKENSIS)
  add_test(NAME win_installer COMMAND bash ${CMAKE_SOURCE_DIR}/tests/win32/run_installer.sh ${TANGREL_SETUP_EXE})
  set_tests_properties(win_installer PROPERTIES TIMEOUT 400 RUN_SERIAL TRUE)
endif()
