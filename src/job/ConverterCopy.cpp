#include "job/ConverterCopy.h"

#include <QFile>
#include <QFileInfo>

void RemoveConverterCopy(const QString &folder)
{
    const QString converter = folder + ConverterFileName;
    if (QFileInfo::exists(converter))
        QFile::remove(converter);
}
