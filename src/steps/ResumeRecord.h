#pragma once

#include "steps/ByteExtents.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// What a later job needs to continue a download that did not finish: which
// stream it was, the validator that proves the remote is unchanged, the
// whole length, and where the bytes are.
struct ResumeRecord
{
    QString identity;      // the stream, as StreamIdentity gives it
    QByteArray validator;  // a strong ETag, quotes included, or a Last-Modified text
    qint64 total = -1;     // the whole body's length
    bool inTarget = false; // the bytes stand under the target's own name (a stopped download)
    qint64 held = -1;      // bytes held from the start when written; -1 while the transfer runs
    // All the bytes held when some lie past a gap (several connections wrote
    // them); empty when held says it all.
    QList<ByteExtent> extents{};

    bool operator==(const ResumeRecord &) const = default;
};

// The record as the file holds it: a first line naming the format, then one
// "key: value" line each; the extents as "FIRST-END" pairs, END exclusive.
QByteArray formatResumeRecord(const ResumeRecord &record);
// Nothing for a text that is not such a record, or one missing the stream,
// the validator or a positive total, or whose extents are out of order, past
// the total or at odds with held.
std::optional<ResumeRecord> parseResumeRecord(QByteArrayView text);

// What names the same stream from one lookup to the next: the URL without the
// host (the service hands out other stream hosts) and without the query keys
// that change each time (expiry, signatures, the client's address).
QString StreamIdentity(const QString &url);
