# The Debian package: everything installed as component "zelvano", under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zelvano)
set(CPACK_PACKAGE_VENDOR "The Zelvano developers")
set(CPACK_PACKAGE_CONTACT "The Zelvano developers <zelvano@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "card-pattern puzzle for one player")
set(CPACK_PACKAGE_DESCRIPTION "\
Lay cards from five open stacks into a row of four and claim the patterns
the row forms - only red, two pairs, a sequence and more - before the
stacks run out. Four skill levels, highscore lists, German and English,
sound effects and MIDI music.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Only the game's own files, whatever else the tree may install one day.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};Zelvano;zelvano;/")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps finds the linked libraries (Qt, SDL2_mixer, libjpeg, ...). It cannot see what
# is only read at run time: the General MIDI soundfont the music plays with, the fonts that
# stand in for "Arial", and a plain sans-serif face (with Liberation alone, fontconfig hands
# Qt's default font Liberation Mono). The X11 platform plugin comes with libqt6gui6 itself.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "timgm6mb-soundfont | sf2-soundfont-gm, fonts-liberation2, fonts-dejavu-core")

include(CPack)
