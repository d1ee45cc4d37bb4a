#pragma once

#include <QByteArray>
#include <QString>

// The charset parameter of a Content-Type value, unquoted; empty when none.
QByteArray charsetOf(const QByteArray &contentType);

// A body as text in the charset its Content-Type declares; each byte one
// character of the same code when it declares none or one that is not known.
QString decodeBody(const QByteArray &body, const QByteArray &contentType);
