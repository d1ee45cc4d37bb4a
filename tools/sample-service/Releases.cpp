#include "Releases.h"

#include <QCryptographicHash>
#include <QList>

namespace {

// Enough body that a download of it shows progress before it ends.
constexpr qsizetype PaddingLines = 4096;

const char *const Script = R"(#!/usr/bin/env python3
# A stand-in for a release of yt-dlp, served by vidlark-sample-service: it
# prints its version, and describes the sample service's progressive page as
# yt-dlp does, so that a download runs it. It knows no other link.
import json
import sys

VERSION = "@VERSION@"
args = sys.argv[1:]
if args == ["--version"]:
    print(VERSION)
    sys.exit(0)
link = args[-1] if args else ""
page = "/pages/progressive"
if "-J" in args and link.endswith(page):
    base = link[: -len(page)]
    formats = [{"format_id": "%dp" % height, "height": height, "width": None, "ext": "mp4",
                "protocol": "http", "url": "%s/media/progressive-%d.mp4" % (base, height),
                "vcodec": None, "acodec": None, "http_headers": {"Referer": link}}
               for height in (240, 360, 720)]
    print(json.dumps({"_type": "video", "id": "progressive-1", "extractor": "html5",
                      "title": "Release Stand-in " + VERSION, "formats": formats}))
    sys.exit(0)
sys.stderr.write("ERROR: Unsupported URL: %s\n" % link)
sys.exit(1)
)";

bool isVersion(const QByteArray &version)
{
    if (version.isEmpty() || version.size() > 32)
        return false;
    for (const char c : version) {
        if (!(c >= '0' && c <= '9') && c != '.')
            return false;
    }
    return true;
}

QByteArray sumLine(const QByteArray &bytes, const QByteArray &name)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex() + "  " + name + "\n";
}

} // namespace

bool Releases::serves(const QByteArray &path)
{
    return path.startsWith("/releases/");
}

QByteArray Releases::program(const QByteArray &version)
{
    QByteArray script = QByteArray(Script).replace("@VERSION@", version);
    for (qsizetype i = 0; i < PaddingLines; ++i)
        script += "# " + QByteArray(62, '-') + "\n";
    return script;
}

QByteArray Releases::checksums(const QByteArray &version)
{
    // The other files of a real release come before and after it, some named alike.
    return sumLine("windows " + version, "yt-dlp.exe") +
           sumLine("linux " + version, "yt-dlp_linux") + sumLine(program(version), "yt-dlp") +
           sumLine("macos " + version, "yt-dlp_macos") +
           sumLine("source " + version, "yt-dlp.tar.gz");
}

ServiceReply Releases::answer(const QByteArray &path)
{
    QList<QByteArray> parts = path.mid(int(sizeof("/releases/")) - 1).split('/');
    QByteArray variant;
    if (parts.size() == 3) {
        variant = parts.takeFirst();
        if (variant != "wrong-sum" && variant != "no-line" && variant != "stall" &&
            variant != "mute")
            return ServiceReply::statusPage(404);
    }
    if (parts.size() != 2 || !isVersion(parts[0]))
        return ServiceReply::statusPage(404);
    const QByteArray &version = parts[0];
    const QByteArray &file = parts[1];
    ServiceReply reply;
    reply.headers = {{"Content-Type", "application/octet-stream"}};
    // A program that does not run as the one of its version.
    const QByteArray served =
        variant == "mute" ? QByteArray(program(version))
                                .replace("    print(VERSION)\n    sys.exit(0)", "    sys.exit(1)")
                          : program(version);
    if (file == "yt-dlp") {
        const QByteArray &bytes = served;
        reply.body = ReplyBody(bytes);
        if (variant == "stall")
            reply.stallAfter = bytes.size() / 2;
        return reply;
    }
    if (file != "SHA2-256SUMS")
        return ServiceReply::statusPage(404);
    QByteArray sums = checksums(version);
    const QByteArray line = sumLine(program(version), "yt-dlp");
    if (variant == "wrong-sum")
        sums.replace(line, sumLine(served + "tampered", "yt-dlp"));
    else if (variant == "no-line")
        sums.replace(line, QByteArray());
    else
        sums.replace(line, sumLine(served, "yt-dlp"));
    reply.headers = {{"Content-Type", "text/plain; charset=utf-8"}};
    reply.body = ReplyBody(sums);
    return reply;
}
