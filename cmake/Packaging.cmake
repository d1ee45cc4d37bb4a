# The Debian package, built by scripts/package (cpack -G DEB): what
# `cmake --install` puts under /usr, with the shared libraries' packages found
# by dpkg-shlibdeps. FFmpeg is named on top: the converter stored in the
# program is the build machine's ffmpeg, which needs FFmpeg's libraries.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vidlark)
set(CPACK_PACKAGE_VENDOR "The Vidlark developers")
set(CPACK_PACKAGE_CONTACT "The Vidlark developers <vidlark@vidlark.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Save online videos into a folder of your choice")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Vidlark saves videos of an online video service into a folder: paste a link, pick one of "
    "six formats, pick a folder and press Download. FLV downloads can be converted to AVI or "
    "MP4 with FFmpeg. vidlark-cli runs the same download from a terminal.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://vidlark.example.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS ffmpeg)
include(CPack)
