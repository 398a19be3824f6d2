# `cpack -G DEB` in the build folder: a Debian package of what `install` puts
# in place (programs, skin, factory data, udev rules, desktop entry,
# metainfo, icons, manual pages and the shell completion).
set(CPACK_PACKAGE_NAME brontal-driver)
set(CPACK_PACKAGE_VENDOR "The Brontal Driver developers")
set(CPACK_PACKAGE_CONTACT "The Brontal Driver developers <brontal-driver@brontal.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Settings of USB gaming keyboards, mice, mouse pad and headset")
set(CPACK_PACKAGE_DESCRIPTION "Brontal Driver configures the supported gaming keyboards, mice, mouse pad and
headset: key assignments, lighting, macros, DPI, polling rate and the headset's
sound. It comes with brontalctl for the command line and brontal-sim, a device
simulator.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "udev")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${PROJECT_SOURCE_DIR}/packaging/postinst;${PROJECT_SOURCE_DIR}/packaging/postrm")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
