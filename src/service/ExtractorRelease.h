#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QStringView>

#include <optional>

// The extractor's releases and versions: what its release folder publishes
// beside the program (SHA2-256SUMS), and what its --version prints.

// The program's file in the release folder, and the checksum list beside it.
inline const QString ReleaseProgramName = QStringLiteral("yt-dlp");
inline const QString ReleaseChecksumsName = QStringLiteral("SHA2-256SUMS");

// The SHA-256 the list gives for the file called name, in lower-case hex: a
// line "HASH  NAME" (sha256sum's text form) or "HASH *NAME" (its binary form)
// whose name is exactly that one. Nothing when no line names it, when the
// hash is no 64 hex digits, or when two lines name it with different hashes.
std::optional<QByteArray> ReleaseChecksum(QByteArrayView sums, QByteArrayView name);

// What the program's --version printed, as one line for people: its first
// line without control characters, at most 64 characters; empty when none.
QString ExtractorVersionLine(QByteArrayView output);

// The date a version names: yt-dlp's are dates ("2023.03.04", nightly
// "2025.06.30.232849"). Null when it names none.
QDate ExtractorVersionDate(QStringView version);

// More than this many days old, an extractor may no longer read today's sites.
constexpr int ExtractorStaleDays = 90;

// Whether the version's date lies more than ExtractorStaleDays before today.
// A version that names no date is never stale.
bool ExtractorIsStale(QStringView version, QDate today);
