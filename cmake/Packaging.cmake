# The manual page, the licence and the Debian package.
#
#   cpack -G DEB          (in a build tree) builds swatchly_<version>_<arch>.deb
#
# The package installs under /usr whatever CMAKE_INSTALL_PREFIX the tree was configured with.

find_program(SWATCHLY_GZIP gzip REQUIRED)
set(SWATCHLY_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/swatchly)
# One version everywhere: the program's --version, the package, its changelog, the manual page and
# the AppStream metadata.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The release's date (2026-12-07 12:00 UTC) in seconds since 1970: the changelog's date, and the
# time of every file in the package unless SOURCE_DATE_EPOCH says otherwise, so that building the
# package twice gives the same bytes.
set(SWATCHLY_RELEASE_EPOCH 1796644800)
set(saved_epoch "$ENV{SOURCE_DATE_EPOCH}")
set(ENV{SOURCE_DATE_EPOCH} ${SWATCHLY_RELEASE_EPOCH})
string(TIMESTAMP SWATCHLY_RELEASE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(ENV{SOURCE_DATE_EPOCH} "${saved_epoch}")
configure_file(cmake/CPackProject.cmake.in ${CMAKE_CURRENT_BINARY_DIR}/CPackProject.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_BINARY_DIR}/CPackProject.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/cmake/DebInstalledSize.cmake)
# The project has no mail address yet: a reserved domain that reaches nobody stands in for it.
set(SWATCHLY_PACKAGE_MAINTAINER "Swatchly developers <swatchly@example.invalid>"
    CACHE STRING "Maintainer field of the Debian package: name <mail address>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${SWATCHLY_PACKAGE_MAINTAINER})

# Debian wants manual pages and changelogs compressed, without name or time stamp (reproducible).
configure_file(resources/debian/changelog.in ${CMAKE_CURRENT_BINARY_DIR}/doc/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/doc/swatchly.1.gz ${CMAKE_CURRENT_BINARY_DIR}/doc/changelog.gz
    COMMAND ${SWATCHLY_GZIP} -9n -c ${CMAKE_CURRENT_SOURCE_DIR}/resources/swatchly.1 > doc/swatchly.1.gz
    COMMAND ${SWATCHLY_GZIP} -9n -c doc/changelog > doc/changelog.gz
    DEPENDS resources/swatchly.1 ${CMAKE_CURRENT_BINARY_DIR}/doc/changelog
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    VERBATIM)
add_custom_target(swatchly_docs ALL
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/doc/swatchly.1.gz ${CMAKE_CURRENT_BINARY_DIR}/doc/changelog.gz)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/doc/swatchly.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES resources/debian/copyright ${CMAKE_CURRENT_BINARY_DIR}/doc/changelog.gz DESTINATION ${SWATCHLY_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME swatchly)
set(CPACK_PACKAGE_VENDOR "Swatchly developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "colour picker for web and program colour codes")
set(CPACK_PACKAGE_DESCRIPTION
    "Swatchly is a small, fast colour picker with a Japanese user interface. It
composes a background colour and a text colour with three RGB sliders, in
full-colour or 216 web-safe-colour mode, shows both on a sample text and copies
the colour code as FF8000, #FF8000 or &H0080FF.

Sixteen swatches hold a basic palette or the user's own palette, which is saved
to and loaded from small palette files in the user's data folder.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
# Absolute install folders (an absolute CMAKE_INSTALL_LIBDIR) must land in the package too.
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Libraries from the binary and Qt's platform plugins (X11 among them). Recommended: the Japanese
# and the Latin fonts, Qt's Japanese message-box texts and Qt's Wayland plugin; without them the
# program runs and says what is missing.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic, fonts-liberation, qt6-translations-l10n, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
