#include "service/ExtractorRelease.h"

#include <gtest/gtest.h>

namespace {

const QByteArray Hash = "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef";
const QByteArray Other = "fedcba9876543210fedcba9876543210fedcba9876543210fedcba9876543210";

} // namespace

// The list as yt-dlp's releases publish it: one "HASH  NAME" line per file,
// some named like the program.
TEST(ExtractorRelease, TheChecksumIsTheLineOfExactlyThatName)
{
    const struct
    {
        const char *name;
        QByteArray sums;
        std::optional<QByteArray> checksum;
    } cases[] = {
        {"text form", Other + "  yt-dlp.exe\n" + Hash + "  yt-dlp\n" + Other + "  yt-dlp_linux\n",
         Hash},
        {"binary form, CR LF", Other + " *yt-dlp_macos\r\n" + Hash + " *yt-dlp\r\n", Hash},
        {"the same line twice", Hash + "  yt-dlp\n" + Hash + "  yt-dlp\n", Hash},
        {"no such line", Other + "  yt-dlp_linux\n" + Other + "  yt-dlp.tar.gz\n", std::nullopt},
        {"a name that only begins so", Hash + "  yt-dlp_x86.exe\n", std::nullopt},
        {"one blank only", Hash + " yt-dlp\n", std::nullopt},
        {"a hash too short", Hash.left(63) + "  yt-dlp\n", std::nullopt},
        {"no hex", QByteArray(64, 'g') + "  yt-dlp\n", std::nullopt},
        {"two lines that disagree", Hash + "  yt-dlp\n" + Other + "  yt-dlp\n", std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReleaseChecksum(c.sums, "yt-dlp"), c.checksum);
    }
}

TEST(ExtractorRelease, AVersionIsItsFirstLineWithoutControls)
{
    EXPECT_EQ(ExtractorVersionLine("2023.03.04\n"), QStringLiteral("2023.03.04"));
    EXPECT_EQ(ExtractorVersionLine("2025.06.30.232849\r\nmore\n"),
              QStringLiteral("2025.06.30.232849"));
    EXPECT_EQ(ExtractorVersionLine("  \x1b[1m2025.01.15\x1b[0m  "),
              QStringLiteral("[1m2025.01.15[0m"));
    EXPECT_EQ(ExtractorVersionLine(""), QString());
    EXPECT_EQ(ExtractorVersionLine(QByteArray(500, '9')).size(), 64);
}

TEST(ExtractorRelease, AVersionOlderThanNinetyDaysIsStale)
{
    const QDate today(2026, 6, 1);
    const struct
    {
        const char *version;
        QDate date;
        bool stale;
    } cases[] = {
        {"2023.03.04", QDate(2023, 3, 4), true},  // Debian 12's
        {"2026.03.03", QDate(2026, 3, 3), false}, // 90 days
        {"2026.03.02", QDate(2026, 3, 2), true},  // 91 days
        {"2026.05.31.232849", QDate(2026, 5, 31), false},
        {"2023.13.01", QDate(), false},
        {"2023.02.30", QDate(), false},
        {"23.03.04", QDate(), false},
        {"+2023.03.04", QDate(), false},
        {"stable@2023.03.04", QDate(), false},
        {"", QDate(), false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.version);
        const QString version = QString::fromLatin1(c.version);
        EXPECT_EQ(ExtractorVersionDate(version), c.date);
        EXPECT_EQ(ExtractorIsStale(version, today), c.stale);
    }
}
