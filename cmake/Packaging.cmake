# The Debian package, made from the install rules: `cpack -G DEB` in the build folder writes
# jov_<version>_<arch>.deb. Its dependencies come from dpkg-shlibdeps on the installed binaries.
set(CPACK_PACKAGE_NAME jov)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}")
set(CPACK_PACKAGE_VENDOR "L'équipe JOV")
set(CPACK_PACKAGE_CONTACT "L'équipe JOV <contact@jov-couleurs.fr>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "colour coding tool: compose, pick and copy colours as text")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.jov-couleurs.fr/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own French texts (the standard dialogs); without them those dialogs are in English. The
# desktop's opener shows the manual. (The X11 platform plugin the window needs comes with
# libqt6gui6, which the library dependencies already name.)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The extended description, after the summary line: a lone "." for an empty line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "JOV is a small colour-coding tool for web and graphics work, with a French
user interface. It composes a colour from red, green and blue sliders and
fields, shows it in a sample panel and as text in three notations
(hexadecimal in COLORREF order, HTML and decimal RGB), copies it to the
clipboard and reads colours back from clipboard text.
.
An eyedropper picks any pixel of the screen; sixteen custom colour slots,
filled by hand or with an automatic lightness gradient, are saved as JASC-PAL
palette files. The package includes the HTML manual in French and in English.")

include(CPack)
