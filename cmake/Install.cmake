# Installation and the Debian package. One layout serves `make install` (any prefix) and
# `make package` (prefix /usr):
#   games/tangrel                     the launcher (plays from the player's own folder)
#   lib/games/tangrel/tangrel         the program; beside it links to its sounds and music
#   share/games/tangrel/              the read-only game data
#   share/applications, share/metainfo, share/icons/hicolor, share/man/man6, share/doc/tangrel
set(TANGREL_APP_ID example.brenmoor_studio.Tangrel)
set(TANGREL_PKG_DIR ${CMAKE_BINARY_DIR}/pkg)
file(MAKE_DIRECTORY ${TANGREL_PKG_DIR})

# The installed program resolves its symbols at start, so its relocations can be read-only.
target_link_options(tangrel PRIVATE -Wl,-z,relro,-z,now)
install(TARGETS tangrel RUNTIME DESTINATION lib/games/tangrel)
# The program looks for its sounds and music beside itself; relative links keep any prefix.
foreach(name Sounds.spk Sounds)
  file(CREATE_LINK ../../../share/games/tangrel/${name} ${TANGREL_PKG_DIR}/${name} SYMBOLIC)
  install(FILES ${TANGREL_PKG_DIR}/${name} DESTINATION lib/games/tangrel)
endforeach()
install(FILES ${TANGREL_GAME_DIR}/Episode0.dat ${TANGREL_GAME_DIR}/Episode50.dat
              ${TANGREL_GAME_DIR}/Episode75.dat ${TANGREL_GAME_DIR}/Episode90.dat
              ${TANGREL_GAME_DIR}/Sprites.gpk ${TANGREL_GAME_DIR}/Textures.gpk
              ${TANGREL_GAME_DIR}/Sounds.spk
        DESTINATION share/games/tangrel OPTIONAL)
install(DIRECTORY ${TANGREL_GAME_DIR}/Sounds DESTINATION share/games/tangrel OPTIONAL)
install(PROGRAMS packaging/tangrel.in DESTINATION games RENAME tangrel)

# The desktop entry names the launcher by its full path: /usr/games is not on every
# session's search path. The prefix is known only at install time.
install(CODE "
  set(_src \"${CMAKE_SOURCE_DIR}/packaging/${TANGREL_APP_ID}.desktop.in\")
  set(_dst \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/share/applications/${TANGREL_APP_ID}.desktop\")
  set(TANGREL_GAMES_BIN \"\${CMAKE_INSTALL_PREFIX}/games\")
  configure_file(\${_src} \${_dst} @ONLY)
  message(STATUS \"Installing: \${_dst}\")
")
install(FILES packaging/${TANGREL_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/ DESTINATION share/icons/hicolor OPTIONAL)

# The manual page and the changelog go compressed, the copyright as it is.
foreach(f tangrel.6 changelog.Debian)
  add_custom_command(OUTPUT ${TANGREL_PKG_DIR}/${f}.gz
    COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/packaging/${f} > ${TANGREL_PKG_DIR}/${f}.gz
    DEPENDS ${CMAKE_SOURCE_DIR}/packaging/${f})
  list(APPEND _tangrel_gz ${TANGREL_PKG_DIR}/${f}.gz)
endforeach()
add_custom_target(package_docs ALL DEPENDS ${_tangrel_gz})
install(FILES ${TANGREL_PKG_DIR}/tangrel.6.gz DESTINATION share/man/man6)
install(FILES ${TANGREL_PKG_DIR}/changelog.Debian.gz packaging/copyright DESTINATION share/doc/tangrel)

# --- the Debian package (CPack) ------------------------------------------------------
# CPack packs what the install rules above put down, from the build already made: one
# description of the layout for `make install` and the package, no second build in a clean
# tree, no debian/ folder to keep in step. (A source package for the Debian archive itself
# would be debhelper's job.)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tangrel)
set(CPACK_PACKAGE_VERSION ${TANGREL_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGE_VENDOR "Brenmoor Studio")
set(CPACK_PACKAGE_CONTACT "Brenmoor Studio <games@brenmoor-studio.example>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Brenmoor Studio <games@brenmoor-studio.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.brenmoor-studio.example/games")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "puzzle game: fill the slot-box with flat pieces")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Each of the 100 levels shows the same square slot-box and up to twelve
flat convex pieces. Drag the pieces into the slot-box, turn them in
15-degree steps, and cover the whole slot so that every corner meets
another corner. Five episodes of twenty levels, an easy mode, a hint key,
sound effects and music; plays in a resizable window or full screen.")
# The libraries from the program itself; the font and the SoundFont it opens by path.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, timgm6mb-soundfont")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/_cpack)
include(CPack)
