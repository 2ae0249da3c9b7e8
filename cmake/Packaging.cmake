# The manual page, the licence and the Debian package.
#
#   cpack -G DEB          (in a build tree) builds swatchly_<version>_<arch>.deb
#
# The package installs under /usr whatever CMAKE_INSTALL_PREFIX the tree was configured with.

find_program(SWATCHLY_GZIP gzip REQUIRED)
set(SWATCHLY_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/swatchly)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0)
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
# Libraries from the binary, plus what the program's look needs at run time: the Japanese and the
# Latin fonts, Qt's Japanese message-box texts and the Qt platform plugins.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, fonts-liberation, qt6-translations-l10n, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
