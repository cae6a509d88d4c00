# The Debian package (tools/package): everything `cmake --install` puts in place, under
# /usr, with the libraries it needs found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vk3tune)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Veskaran 3 Tuning Utility developers <vk3tune@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "settings editor for the game Veskaran 3")
# The long description as dpkg shows it: lines of at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION "Edits the graphics, performance and memory settings of the PC game
Veskaran 3 (under Wine or Proton): resolution, quality presets, view ranges,
cache budgets and more. Before it first changes a file in a run, it keeps a
safety copy of the file's previous contents.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# A settings editor, not a game: its menu entry is under Games and Settings.
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${VK3_HOME_PAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded when first needed rather than linked (src/platform/sdl_library.h), so
# dpkg-shlibdeps cannot see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsdl2-2.0-0, libsdl2-mixer-2.0-0")

include(CPack)
