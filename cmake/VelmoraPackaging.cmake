# cpack: a .deb on Linux, a zip of the deployed program on Windows, both from the installation.
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR Norvane)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Address record with postal-code search and map")
set(CPACK_PACKAGE_CONTACT "Norvane <velmora@norvane.invalid>")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Velmora)
if(WIN32)
    set(CPACK_GENERATOR ZIP)
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION misc)
    # Debian's own Qt libraries, found from the program's links; besides them the Japanese font, Qt's
    # Japanese texts, and the SVG plugins that draw the icons (loaded by Qt, so no link names them).
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    # ca-certificates: the postal data's update checks Japan Post's certificate against them.
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, qt6-translations-l10n, libqt6svg6, ca-certificates")
endif()
include(CPack)
