# What `cmake --install` puts beside the programs (the menu entry, its icon,
# the README with the serial-port note) and the Debian package CPack makes of
# the whole install: `cpack -G DEB` in the build directory.
install(FILES ${PROJECT_SOURCE_DIR}/resources/rp57.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/rp57.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/rp57)

set(CPACK_PACKAGE_NAME rp57)
set(CPACK_PACKAGE_VENDOR "RP57")
set(CPACK_PACKAGE_CONTACT "RP57 maintainers <rp57@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Dealer programming tool for OR-3200/OR-5200 land-mobile FM radios")
set(CPACK_PACKAGE_DESCRIPTION
    "RP57 reads a radio's memory over a serial programming cable, edits its channels and \
settings, and writes it back; rp57cli does the same from scripts, and rp57-radio-sim is a \
simulated radio on a pseudo-terminal.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY rp57)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://localhost/rp57")
# The libraries the programs link come from dpkg-shlibdeps; the Qt platform
# plugins are loaded at run time, so no linker sees them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xdg-utils")
include(CPack)
