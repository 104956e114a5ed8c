# The browser build (emcmake cmake, see scripts/build-web): the game units on the browser
# platform (src/platform/web), compiled to WebAssembly: tangrel.js, tangrel.wasm and
# tangrel.data (the game data a Linux build made and the Liberation faces, preloaded into the
# program's files) in the site folder. FreeType is Debian's own, built for wasm by
# scripts/build-freetype-wasm. With TANGREL_WEB_TESTS also the unit tests of the
# platform-independent units, run under Node.
set(TANGREL_GAME_DATA "" CACHE PATH "game folder of a Linux build (build/game) whose data is preloaded")
set(TANGREL_FONT_SOURCE "/usr/share/fonts/truetype/liberation" CACHE PATH "folder of the Liberation faces")
set(TANGREL_FREETYPE_WASM "${CMAKE_BINARY_DIR}/freetype/install" CACHE PATH "FreeType built for wasm (scripts/build-freetype-wasm)")
set(TANGREL_SITE_DIR "${CMAKE_BINARY_DIR}/site" CACHE PATH "where the site is written")
option(TANGREL_WEB_TESTS "Build the unit tests that run under Node" OFF)
# The site ships the SIMD build: the SSE2 drawing paths through emscripten's SSE2 headers draw
# the same pixels and a frame faster than the portable loops (every current browser runs wasm
# SIMD; Safari since 16.4). OFF builds the portable loops.
option(TANGREL_WEB_SIMD "Build with wasm SIMD (-msimd128 -msse2: the SSE2 drawing paths)" ON)

if(NOT EXISTS "${TANGREL_FREETYPE_WASM}/lib/libfreetype.a")
  message(FATAL_ERROR "no FreeType for wasm in ${TANGREL_FREETYPE_WASM}: run scripts/build-freetype-wasm first")
endif()
add_library(freetype_wasm STATIC IMPORTED)
set_target_properties(freetype_wasm PROPERTIES
  IMPORTED_LOCATION "${TANGREL_FREETYPE_WASM}/lib/libfreetype.a"
  INTERFACE_INCLUDE_DIRECTORIES "${TANGREL_FREETYPE_WASM}/include/freetype2")

# C++ exceptions throughout (the game uses them); -O2 as the desktop build.
add_compile_options(-fexceptions)
add_link_options(-fexceptions)
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG")
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG")
if(TANGREL_WEB_SIMD)
  add_compile_options(-msimd128 -msse2)
  add_link_options(-msimd128)
endif()

enable_testing()

# --- game_core: every game unit and the shared platform code (no file calls of a system:
# the game and the tests both take the POSIX ones, emscripten's files; the game adds
# files_web.cpp, which keeps the saved files in the page's storage) --------------------------
tangrel_game_units(CORE_SOURCES)
tangrel_game_core(${CORE_SOURCES})
target_link_libraries(game_core PUBLIC freetype_wasm)
# The faces at the same path as on Linux: preloaded there for the page, the system's own for
# the unit tests on Node (which see the real files).
target_compile_definitions(game_core PUBLIC TANGREL_FONT_DIR="/usr/share/fonts/truetype/liberation")
if(NOT TANGREL_WEB_SIMD)
  target_compile_definitions(game_core PUBLIC TANGREL_PORTABLE=1)
endif()

# The pure units of the browser platform (no page needed): also under test on Node.
tangrel_library(platform_web_units
  src/platform/web/keys.cpp
  src/platform/web/storage.cpp
  src/platform/web/touch.cpp
  src/platform/web/wave_convert.cpp)

# --- the browser platform ------------------------------------------------------------------
tangrel_library(platform_web
  src/platform/web/platform_web.cpp
  src/platform/web/audio_web.cpp
  src/platform/web/files_web.cpp)
target_link_libraries(platform_web PUBLIC platform_web_units game_core files_posix)

# --- the headless test double (the tests and the benchmark page) ---------------------------
tangrel_library(platform_fake src/platform/fake/fake_platform.cpp src/platform/fake/fake_audio.cpp)
target_link_libraries(platform_fake PUBLIC game_core)
tangrel_library(files_posix src/platform/files_posix.cpp)

# --- the data preloaded into the program's files: /game and the fonts ---------------------------
set(TANGREL_PRELOAD_DIR ${CMAKE_BINARY_DIR}/preload)
add_custom_target(web_data
  COMMAND ${CMAKE_COMMAND} -DDATA=${TANGREL_GAME_DATA} -DFONTS=${TANGREL_FONT_SOURCE}
          -DOUT=${TANGREL_PRELOAD_DIR} -P ${CMAKE_SOURCE_DIR}/cmake/CopyWebData.cmake
  COMMENT "Gathering the game data and the fonts to preload")

# --- the game: tangrel.js, tangrel.wasm and tangrel.data in the site folder -------------------
add_executable(tangrel src/app/main_web.cpp)
target_compile_options(tangrel PRIVATE ${TANGREL_WARNINGS})
target_link_libraries(tangrel PRIVATE platform_web game_core)
add_dependencies(tangrel web_data)
set_target_properties(tangrel PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TANGREL_SITE_DIR} SUFFIX ".js")
# The waits of the game (a sound played to its end before the window closes) give the
# browser its turn meanwhile: Asyncify unwinds and rewinds the few calls that sleep.
target_link_options(tangrel PRIVATE
  -sENVIRONMENT=web
  -sALLOW_MEMORY_GROWTH=1
  -sINITIAL_MEMORY=64MB
  -sASYNCIFY=1
  -sASYNCIFY_STACK_SIZE=65536
  -sEXPORTED_FUNCTIONS=_main,_malloc,_free
  "--preload-file=${TANGREL_PRELOAD_DIR}/game@/game"
  "--preload-file=${TANGREL_PRELOAD_DIR}/fonts@/usr/share/fonts/truetype/liberation")
set_property(TARGET tangrel APPEND PROPERTY LINK_DEPENDS ${TANGREL_PRELOAD_DIR}/stamp)

# --- unit tests under Node ----------------------------------------------------------------------
if(TANGREL_WEB_TESTS)
  include(${CMAKE_SOURCE_DIR}/cmake/WebTests.cmake)
endif()

# The page's end-to-end tests and the benchmark page (their own folders).
if(EXISTS ${CMAKE_SOURCE_DIR}/tests/web/CMakeLists.txt)
  add_subdirectory(tests/web)
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/bench/web/CMakeLists.txt)
  add_subdirectory(bench/web)
endif()
