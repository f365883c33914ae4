# make package: a Debian package of the installed files, under /usr whatever prefix
# `make install` uses.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Tarvex developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small Notepad-like plain-text editor")
set(CPACK_PACKAGE_DESCRIPTION
"Tarvex is a single-document plain-text editor for the desktop, with a temporary
snippet clipboard, text protection, a read-aloud window and a set of text tools.
It edits Windows-1252 text files with CR LF line breaks and keeps the document's
exact text, bare CR and LF characters included.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Folders the package creates are 0755 whatever the umask of whoever builds it.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(TARVEX_MAINTAINER "The Tarvex developers <tarvex@example.org>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TARVEX_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The Qt libraries the program links (libqt6gui6 also holds the xcb platform plugin) come
# from dpkg-shlibdeps; what Qt loads at run time only shows up here: the flite speech engine,
# the SVG icon and image plugins (the toolbar's icons are SVG), and the fonts that draw the
# bare-LF mark (FreeFont) and stand in for the default "Comic Sans MS" (Comic Neue).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-speech-flite-plugin, libqt6svg6, fonts-dejavu-core, fonts-freefont-ttf, fonts-comic-neue")

include(CPack)
