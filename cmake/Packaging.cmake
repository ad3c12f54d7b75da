# `cpack -G DEB` from the build folder makes the Debian package.
set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VENDOR "Vantrel developers")
set(CPACK_PACKAGE_CONTACT "Vantrel developers <dev@vantrel.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Stock-trading practice simulator (Japanese interface)")
# Debian shows the description in 80 columns: no line may be longer.
set(CPACK_PACKAGE_DESCRIPTION
    "Vantrel lets you practise placing limit and market orders against a
simulated order book that a computer crowd trades once a second. It keeps
buying power, holdings, commission and a time-stamped log, and shows the
results of the practice: position and profit, the trade history (exportable
as CSV) and a price chart with the fills. Every run replays the same market.
The package also holds vantrel-market, which writes the market as CSV
without a window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Qt Charts is GPL-3, so Vantrel is GPL-3.0-or-later; Debian keeps the terms
# in the package's copyright file.
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
install(FILES ${PROJECT_SOURCE_DIR}/resources/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vantrel)

# The package is Vantrel's first Debian revision of the upstream version, so
# its history is changelog.Debian.gz. The committed changelog leads with this
# very version; configuring stops if the two part.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(VANTREL_CHANGELOG ${PROJECT_SOURCE_DIR}/resources/changelog)
file(STRINGS ${VANTREL_CHANGELOG} vantrel_changelog_head LIMIT_COUNT 1)
set(vantrel_package_version ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
if(NOT vantrel_changelog_head MATCHES "^vantrel \\(${vantrel_package_version}\\) ")
  message(FATAL_ERROR "resources/changelog must begin with the entry for "
                      "vantrel ${vantrel_package_version}, not: ${vantrel_changelog_head}")
endif()
# The software centres' list of releases must lead with this version too.
file(READ ${PROJECT_SOURCE_DIR}/resources/invalid.vantrel.Vantrel.metainfo.xml vantrel_metainfo)
if(NOT vantrel_metainfo MATCHES "<releases>[ \n]*<release version=\"${PROJECT_VERSION}\"")
  message(FATAL_ERROR "the metainfo's first release must be ${PROJECT_VERSION}")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VANTREL_CHANGELOG}
             ${PROJECT_SOURCE_DIR}/resources/invalid.vantrel.Vantrel.metainfo.xml)
# -9n: the most compression, and no name or time stamp, so the same changelog
# always makes the same bytes.
set(VANTREL_CHANGELOG_GZ ${PROJECT_BINARY_DIR}/changelog.Debian.gz)
add_custom_command(
  OUTPUT ${VANTREL_CHANGELOG_GZ}
  COMMAND ${CMAKE_COMMAND} -E copy ${VANTREL_CHANGELOG} ${PROJECT_BINARY_DIR}/changelog.Debian
  COMMAND gzip -9nf ${PROJECT_BINARY_DIR}/changelog.Debian
  DEPENDS ${VANTREL_CHANGELOG}
  COMMENT "Compressing the Debian changelog"
  VERBATIM)
add_custom_target(vantrel-changelog ALL DEPENDS ${VANTREL_CHANGELOG_GZ})
install(FILES ${VANTREL_CHANGELOG_GZ} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vantrel)
# What lintian is told to pass over, each with its reason in the file.
install(FILES ${PROJECT_SOURCE_DIR}/resources/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME vantrel)
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
