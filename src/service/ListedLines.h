#pragma once

#include <QByteArray>
#include <QStringList>

// The entries of a list file, one a line (a batch file of links, a list's
// archive): trimmed, UTF-8, with blank lines and lines starting with "#" left out.
QStringList ListedLines(const QByteArray &text);
