# The native Windows build: the game units on the Win32 platform, tangrel.exe, the game folder
# with the data a Linux build made, and its zip. With TANGREL_WIN_TESTS also the unit tests of
# the platform-independent units, run under Wine.
set(TANGREL_GAME_DATA "" CACHE PATH "game folder of a Linux build (build/game) whose data is copied")
set(TANGREL_FONT_SOURCE "/usr/share/fonts/truetype/liberation" CACHE PATH "folder of the Liberation faces shipped with the game")
# The program's icon, drawn by the Linux build beside its game folder (tangrel-art ico).
set(TANGREL_WIN_ICON "" CACHE FILEPATH "the .ico of tangrel.exe; by default win-icon/tangrel.ico beside TANGREL_GAME_DATA")
if(NOT TANGREL_WIN_ICON AND TANGREL_GAME_DATA)
  get_filename_component(_linux_build ${TANGREL_GAME_DATA} DIRECTORY)
  set(TANGREL_WIN_ICON ${_linux_build}/win-icon/tangrel.ico)
endif()
set(TANGREL_VERSION 2.0.0)
option(TANGREL_WIN_TESTS "Build the unit tests that run under Wine" OFF)

# The resources (icon, version, manifest) go through windres.
enable_language(RC)

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  # SSE2 arithmetic as on 64-bit, so both builds round alike (and the blits take the SSE2 path).
  add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-msse2> $<$<COMPILE_LANGUAGE:C,CXX>:-mfpmath=sse>)
endif()
# Windows headers: no min/max macros, Windows 7 and later; M_PI as on Linux.
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601 _USE_MATH_DEFINES)

# -O2 as the Linux build (gcc 12 at -O3 warns falsely about std::string copies), no symbols.
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG")
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG")
add_link_options($<$<CONFIG:Release>:-s>)

find_package(Threads REQUIRED)

set(TANGREL_WIN_DIR_NAME "Tangrel-2.0")
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(TANGREL_WIN_ZIP "Tangrel-2.0-win64.zip")
else()
  set(TANGREL_WIN_ZIP "Tangrel-2.0-win32.zip")
endif()
set(TANGREL_GAME_DIR ${CMAKE_BINARY_DIR}/${TANGREL_WIN_DIR_NAME})
file(MAKE_DIRECTORY ${TANGREL_GAME_DIR})

# --- game_core: every game unit, the shared platform code, files and text on Win32 ---------
file(GLOB_RECURSE CORE_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/src/app/*.cpp ${CMAKE_SOURCE_DIR}/src/puzzle/*.cpp
  ${CMAKE_SOURCE_DIR}/src/menu/*.cpp ${CMAKE_SOURCE_DIR}/src/hud/*.cpp
  ${CMAKE_SOURCE_DIR}/src/settings/*.cpp ${CMAKE_SOURCE_DIR}/src/media/*.cpp
  ${CMAKE_SOURCE_DIR}/src/game/*.cpp)
list(FILTER CORE_SOURCES EXCLUDE REGEX ".*/src/app/main(_win32|_web)?\\.cpp$")
list(FILTER CORE_SOURCES EXCLUDE REGEX ".*/src/media/(font_freetype|freetype_faces)\\.cpp$")
set(PLATFORM_COMMON_SOURCES
  src/platform/platform.cpp
  src/platform/event_queue.cpp
  src/platform/ini.cpp
  src/platform/mci.cpp
  src/platform/settings_store.cpp
  src/platform/scaling.cpp
  src/platform/files.cpp
  src/platform/test_seam.cpp
  src/platform/win32/files_win32.cpp
  src/platform/win32/font_gdi.cpp
  src/platform/win32/utf8_win32.cpp)

add_library(game_core STATIC ${CORE_SOURCES} ${PLATFORM_COMMON_SOURCES})
target_include_directories(game_core PUBLIC src)
target_compile_options(game_core PRIVATE ${TANGREL_WARNINGS})
target_link_libraries(game_core PUBLIC Threads::Threads gdi32)

# --- the Win32 platform --------------------------------------------------------------------
set(PLATFORM_WIN32_SOURCES
  src/platform/win32/platform_win32.cpp
  src/platform/win32/registry_win32.cpp
  src/platform/win32/audio_waveout.cpp
  src/platform/win32/mci_win32.cpp)
add_library(platform_win32 STATIC ${PLATFORM_WIN32_SOURCES})
target_include_directories(platform_win32 PUBLIC src)
target_compile_options(platform_win32 PRIVATE ${TANGREL_WARNINGS})
target_link_libraries(platform_win32 PUBLIC game_core user32 gdi32 winmm msacm32 shell32 advapi32)

# --- the headless test double ----------------------------------------------------------------
add_library(platform_fake STATIC src/platform/fake/fake_platform.cpp src/platform/fake/fake_audio.cpp)
target_include_directories(platform_fake PUBLIC src)
target_compile_options(platform_fake PRIVATE ${TANGREL_WARNINGS})
target_link_libraries(platform_fake PUBLIC game_core)

# --- the game: a GUI program in the game folder ------------------------------------------------
# Its resources: the icon, the version (the copyright as packaging/copyright states it) and
# the manifest.
if(NOT EXISTS "${TANGREL_WIN_ICON}")
  message(WARNING "No icon at '${TANGREL_WIN_ICON}': build the Linux game first (make build)")
endif()
file(STRINGS ${CMAKE_SOURCE_DIR}/packaging/copyright _copyright REGEX "^Copyright: " LIMIT_COUNT 1)
string(REGEX REPLACE "^Copyright: *" "" TANGREL_RC_COPYRIGHT "${_copyright}")
file(STRINGS ${CMAKE_SOURCE_DIR}/packaging/copyright _contact REGEX "^Upstream-Contact: " LIMIT_COUNT 1)
string(REGEX REPLACE "^Upstream-Contact: *([^<]*[^< ]) *<.*$" "\\1" TANGREL_RC_COMPANY "${_contact}")
set(TANGREL_RC_ICON ${TANGREL_WIN_ICON})
set(TANGREL_RC_MANIFEST ${CMAKE_SOURCE_DIR}/packaging/tangrel.exe.manifest)
set(TANGREL_RC_VERSION ${TANGREL_VERSION})
string(REPLACE "." "," TANGREL_RC_VERSION_COMMAS "${TANGREL_VERSION}.0")
configure_file(${CMAKE_SOURCE_DIR}/packaging/tangrel.rc.in ${CMAKE_BINARY_DIR}/tangrel.rc @ONLY)
set_source_files_properties(${CMAKE_BINARY_DIR}/tangrel.rc PROPERTIES
  OBJECT_DEPENDS "${TANGREL_WIN_ICON};${TANGREL_RC_MANIFEST}")

add_executable(tangrel WIN32 src/app/main_win32.cpp ${CMAKE_BINARY_DIR}/tangrel.rc)
target_compile_options(tangrel PRIVATE "$<$<COMPILE_LANGUAGE:CXX>:${TANGREL_WARNINGS}>")
target_link_libraries(tangrel PRIVATE platform_win32 game_core)
set_target_properties(tangrel PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TANGREL_GAME_DIR})

# --- the game folder and its zip -------------------------------------------------------------
add_custom_target(game_folder ALL
  COMMAND ${CMAKE_COMMAND} -DDATA=${TANGREL_GAME_DATA} -DFONTS=${TANGREL_FONT_SOURCE}
          -DOUT=${TANGREL_GAME_DIR} -DREADME=${CMAKE_SOURCE_DIR}/packaging/README-windows.txt
          -P ${CMAKE_SOURCE_DIR}/cmake/CopyWindowsData.cmake
  COMMENT "Copying the game data, the fonts and README.txt into ${TANGREL_WIN_DIR_NAME}")
add_custom_target(zip
  COMMAND ${CMAKE_COMMAND} -E rm -f ${TANGREL_WIN_ZIP}
  COMMAND ${CMAKE_COMMAND} -E tar cf ${TANGREL_WIN_ZIP} --format=zip ${TANGREL_WIN_DIR_NAME}
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  DEPENDS tangrel game_folder
  COMMENT "Writing ${TANGREL_WIN_ZIP}")

# --- the installer (64-bit): NSIS, for the current user ----------------------------------------
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  find_program(TANGREL_MAKENSIS makensis)
  set(TANGREL_SETUP_EXE ${CMAKE_BINARY_DIR}/Tangrel-2.0-win64-setup.exe)
  set(TANGREL_UNINSTALL_LIST ${CMAKE_BINARY_DIR}/uninstall-files.nsh)
  configure_file(${CMAKE_SOURCE_DIR}/packaging/tangrel.nsi.in ${CMAKE_BINARY_DIR}/tangrel.nsi @ONLY)
  if(TANGREL_MAKENSIS)
    add_custom_target(installer
      COMMAND ${CMAKE_COMMAND} -DGAME=${TANGREL_GAME_DIR} -DOUT=${TANGREL_UNINSTALL_LIST}
              -P ${CMAKE_SOURCE_DIR}/cmake/UninstallList.cmake
      COMMAND ${TANGREL_MAKENSIS} -V2 -NOCD ${CMAKE_BINARY_DIR}/tangrel.nsi
      WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
      DEPENDS tangrel game_folder ${CMAKE_BINARY_DIR}/tangrel.nsi
      BYPRODUCTS ${TANGREL_SETUP_EXE} ${TANGREL_UNINSTALL_LIST}
      COMMENT "Writing Tangrel-2.0-win64-setup.exe")
  else()
    add_custom_target(installer
      COMMAND ${CMAKE_COMMAND} -E echo "makensis is missing (package nsis)" COMMAND false)
  endif()
endif()

# --- unit tests under Wine ---------------------------------------------------------------------
if(TANGREL_WIN_TESTS)
  include(${CMAKE_SOURCE_DIR}/cmake/WindowsTests.cmake)
endif()
