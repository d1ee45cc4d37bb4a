# The Debian package, built by scripts/package (cpack -G DEB): what
# `cmake --install` puts under /usr, with the shared libraries' packages found
# by dpkg-shlibdeps. Named on top: FFmpeg, as the converter stored in the
# program is the build machine's ffmpeg, which needs FFmpeg's libraries; the
# fonts the window was laid out with (Liberation Sans for its UI fonts, DejaVu
# Sans for the percentage), without which the captions overlap; Qt's Wayland
# plugin, without which the window cannot open on a Wayland desktop. yt-dlp,
# the extractor for today's sites, is recommended: without it those links end
# in "No video to download.".
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
set(CPACK_DEBIAN_PACKAGE_DEPENDS "ffmpeg, fonts-liberation2, fonts-dejavu-core, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS yt-dlp)
include(CPack)
