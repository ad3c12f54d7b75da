# `cpack -G DEB` from the build folder makes the Debian package.
set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VENDOR "Vantrel developers")
set(CPACK_PACKAGE_CONTACT "Vantrel developers <dev@vantrel.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Stock-trading practice simulator (Japanese interface)")
set(CPACK_PACKAGE_DESCRIPTION
    "Vantrel lets you practise placing limit and market orders against a simulated order book
that a computer crowd trades once a second. It keeps buying power, holdings, commission and
a time-stamped log, and shows the results of the practice: position and profit, the
trade history (exportable as CSV) and a price chart with the fills. Every run replays
the same market. The package also holds
vantrel-market, which writes the market as CSV without a window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Qt Charts is GPL-3, so Vantrel is GPL-3.0-or-later; Debian keeps the terms
# in the package's copyright file.
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
install(FILES ${PROJECT_SOURCE_DIR}/resources/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vantrel)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://vantrel.invalid/")
# Shared libraries are found by dpkg-shlibdeps; what it cannot see is the Qt
# platform plugin that draws the window, Qt's Japanese catalogue for its own
# texts and a font with Japanese glyphs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, qt6-translations-l10n, fonts-ipafont-gothic | fonts-noto-cjk")
include(CPack)
