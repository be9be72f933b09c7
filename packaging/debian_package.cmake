# The Debian package, built by scripts/package: CPack's DEB generator over the installation
# above, into /usr. Depends: the shared libraries' packages (found by dpkg-shlibdeps; littleCMS
# and libjpeg, which read colour profiles, named as well), a CJK font for the Chinese window
# and Qt's own Chinese translations.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tavrel maintainers <maintainers@tavrel.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "make looping animated GIFs from up to five pictures")
# CPack puts the summary first and indents these lines; the empty line separates paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Tavrel collects up to five pictures (JPEG, PNG or BMP) in the slots of its window,
plays them as a slide show at one of three speeds and writes a GIF file that loops
without end, one frame per picture, each reduced to at most 256 colours. The window
speaks Chinese.

The command-line tool tavrel-gif makes the same file from any number of pictures,
without a display.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://tavrel.example.org)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-zenhei, qt6-translations-l10n, liblcms2-2, libjpeg62-turbo")
# The desktop's own file dialog on GTK desktops.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "qt6-gtk-platformtheme")
set(CPACK_STRIP_FILES ON)
# Installed with DESTDIR and the real prefix, so the desktop entry names /usr/bin/tavrel.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
