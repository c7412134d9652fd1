# The Debian package: `cpack -G DEB` in a build tree (or `cpack --config
# build/dev/CPackConfig.cmake`). It holds exactly what `cmake --install` lays
# out, under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME talvik)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Talvik developers")
set(CPACK_PACKAGE_CONTACT "${TALVIK_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration tool for Talvik programmable keyboards")
set(CPACK_PACKAGE_DESCRIPTION
    "Talvik sets what every key of the Talvik keyboards (87 keys, two layers)
does: another key, a combination, a recorded macro, an emulated keystroke
sequence, or a multimedia, mouse, keyboard or power function. It also sets
the backlight colour of each key, reads the press counters, saves and loads
profiles and updates the keyboard's firmware.
.
The package includes a udev rule that gives the user at the seat access to
the keyboards.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TALVIK_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TALVIK_CONTACT}")
# Dependencies come from dpkg-shlibdeps; it finds the private libTalvikHWI in
# the package's own folder.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS "${TALVIK_INSTALL_LIBDIR}")
# (Debian's libqt6gui6 carries the X11 platform plugin itself.) The windows
# write in Noto Sans CJK, and the help opens through xdg-open.
# Qt's own buttons and dialogs in Chinese; Qt's Wayland platform for a native
# window on Wayland desktops (without it Talvik runs through XWayland).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, xdg-utils, qt6-translations-l10n, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Our own maintainer scripts reload the udev rules; the library is private,
# so the ldconfig calls CPack would write otherwise have nothing to do.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/packaging/debian/postinst ${PROJECT_SOURCE_DIR}/packaging/debian/postrm)
include(CPack)
