#pragma once

#include "ServiceReply.h"

#include <QByteArray>

// A release folder of the external extractor, for the update of Vidlark's
// managed copy: what yt-dlp's own release folder holds that the update reads,
// the program "yt-dlp" and "SHA2-256SUMS", the list of its files' SHA-256
// sums. The program is a stand-in (a Python script) that prints its version
// for --version and describes the progressive page (WebPages) for -J as
// yt-dlp does, under the title "Release Stand-in VERSION", so a download runs
// it; any other link it calls unsupported. On any host:
//   /releases/VERSION/yt-dlp, /releases/VERSION/SHA2-256SUMS   a release
//   /releases/wrong-sum/VERSION/...   its list names another sum for yt-dlp
//   /releases/no-line/VERSION/...     its list has no line for yt-dlp
//   /releases/stall/VERSION/...       the program sends half, then nothing more
//   /releases/mute/VERSION/...        the program fails for --version
// VERSION is digits and dots (yt-dlp's are dates: 2025.06.30).
class Releases
{
public:
    static bool serves(const QByteArray &path);
    static ServiceReply answer(const QByteArray &path);

    // The stand-in program of that version, byte for byte as served.
    static QByteArray program(const QByteArray &version);
    // The checksum list of the release of that version, as served.
    static QByteArray checksums(const QByteArray &version);
};
