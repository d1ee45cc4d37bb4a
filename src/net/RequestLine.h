#pragma once

#include "net/HttpRequestSettings.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The URL as it goes out: characters below 256 as those bytes, anything else
// as UTF-8; blanks and control characters, which cannot stand in a request
// line, escaped.
QByteArray urlBytes(const QString &url);

// Whether a header a stream asks for may go out: not one the client decides
// itself (Host, framing, Range, Accept-Encoding, Connection, Cookie, ...), a
// name that is a token and a value of one line, so no header can smuggle another.
bool isSafeExtraHeader(const QByteArray &name, const QByteArray &value);

// Whether the URL names http or https, in any letter case.
bool isWebScheme(const QByteArray &url);

// Whether two URLs name the same origin: scheme, host and port.
bool sameOrigin(const QByteArray &first, const QByteArray &second);

// Whether a header carries credentials, which go to no other origin than
// the one they were given for (as browsers keep them on a redirect).
bool isCredentialHeader(const QByteArray &name);

// The header lines of a request: each non-empty setting, the fixed
// Accept-Encoding, an empty "Accept:" that keeps libcurl's default out, and
// the extra headers (each in place of a setting of its name) except those the
// client decides itself and any that would not stay one header line.
QList<QByteArray> requestHeaderLines(const HttpRequestSettings &settings);
