#pragma once

#include <QString>

// The name with everything from its last full stop replaced by extension, when
// that full stop comes after the last path delimiter or colon; otherwise the
// extension is appended.
QString ChangeFileExt(const QString &name, const QString &extension);

// The folder with "/" appended unless it already ends with one.
QString withTrailingSlash(const QString &folder);
