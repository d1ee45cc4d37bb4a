#pragma once

#include "net/HttpRequestSettings.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The URL as it goes out: characters below 256 as those bytes, anything else
// as UTF-8; blanks and control characters, which cannot stand in a request
// line, escaped.
QByteArray urlBytes(const QString &url);

// Whether the URL names http or https, in any letter case.
bool isWebScheme(const QByteArray &url);

// The header lines of a request: each non-empty setting, the fixed
// Accept-Encoding, and an empty "Accept:" that keeps libcurl's default out.
QList<QByteArray> requestHeaderLines(const HttpRequestSettings &settings);
