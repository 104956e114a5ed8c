# What the three builds (Linux, Windows, the browser) share of their libraries: the platform
# code every implementation uses, the game units by folder, and the way a library of ours is
# declared. Included by CMakeLists.txt before it turns to a build's own list.

# The platform interface and the code every implementation shares; each build adds its own
# files and text code after these.
set(TANGREL_PLATFORM_COMMON_SOURCES
  src/platform/platform.cpp
  src/platform/event_queue.cpp
  src/platform/ini.cpp
  src/platform/mci.cpp
  src/platform/settings_store.cpp
  src/platform/scaling.cpp
  src/platform/files.cpp
  src/platform/test_seam.cpp)

# Every game unit, found by folder, without the programs' entries (main.cpp, main_win32.cpp,
# main_web.cpp: each build's tangrel takes its own): the sources of game_core in the cross
# builds, into ${out}.
function(tangrel_game_units out)
  file(GLOB_RECURSE units CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/src/app/*.cpp ${CMAKE_SOURCE_DIR}/src/puzzle/*.cpp
    ${CMAKE_SOURCE_DIR}/src/menu/*.cpp ${CMAKE_SOURCE_DIR}/src/hud/*.cpp
    ${CMAKE_SOURCE_DIR}/src/settings/*.cpp ${CMAKE_SOURCE_DIR}/src/media/*.cpp
    ${CMAKE_SOURCE_DIR}/src/game/*.cpp)
  list(FILTER units EXCLUDE REGEX ".*/src/app/main(_win32|_web)?\\.cpp$")
  set(${out} ${units} PARENT_SCOPE)
endfunction()

# A static library of our own code: its sources, src/ on the include path of everything that
# links it, our warnings.
function(tangrel_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC src)
  target_compile_options(${name} PRIVATE ${TANGREL_WARNINGS})
endfunction()

# game_core: the given game units, the shared platform code, then the build's own platform
# sources (files, text) named after PLATFORM.
function(tangrel_game_core)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "" "PLATFORM")
  tangrel_library(game_core ${arg_UNPARSED_ARGUMENTS} ${TANGREL_PLATFORM_COMMON_SOURCES} ${arg_PLATFORM})
endfunction()
