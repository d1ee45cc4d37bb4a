#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The entries of the stream map in a watch page, split but not unescaped;
// nullopt when the page has no "url_encoded_fmt_stream_map" key. A value
// without its quotes gives no entries.
std::optional<QStringList> StreamMapEntries(const QString &watchPage);

// Splits a map value at commas. Spaces and control characters end an entry
// too and are skipped around entries; ",," and a final "," give an empty entry.
QStringList SplitStreamMap(QStringView value);

// Index of the first entry containing itagText (plain substring, with case), or -1.
qsizetype FindStreamEntry(const QStringList &entries, const QString &itagText);

// The stream URL of one entry: its "url=" value with "\/" made "/", decoded
// twice, followed by "&signature=" and the "sig=" value when there is one.
// nullopt when the entry has no "url=", since then it names no stream.
std::optional<QString> StreamUrlOfEntry(const QString &entry);
