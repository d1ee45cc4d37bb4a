#include "job/FileNames.h"

#include <gtest/gtest.h>

TEST(FileNames, ChangeFileExtReplacesOnlyAnExtensionOfTheName)
{
    const struct
    {
        const char *name, *extension, *expected;
    } cases[]{
        {"Title.flv", ".avi", "Title.avi"},
        {"My.Clip.flv", ".mp4", "My.Clip.mp4"},
        {"NoExtension", ".avi", "NoExtension.avi"},
        {"dir.d/name", ".avi", "dir.d/name.avi"},
        {"/tmp/movie_01-31-2012_14-05-09.flv", ".avi", "/tmp/movie_01-31-2012_14-05-09.avi"},
        {"a:b", ".avi", "a:b.avi"},
        {"ends.", ".mp4", "ends.mp4"},
        {"", ".avi", ".avi"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ChangeFileExt(QString::fromUtf8(c.name), QString::fromUtf8(c.extension)),
                  QString::fromUtf8(c.expected));
    }
}

TEST(FileNames, TrailingSlashAddedOnce)
{
    EXPECT_EQ(withTrailingSlash(QStringLiteral("/home/u")), QStringLiteral("/home/u/"));
    EXPECT_EQ(withTrailingSlash(QStringLiteral("/home/u/")), QStringLiteral("/home/u/"));
    EXPECT_EQ(withTrailingSlash(QString()), QStringLiteral("/"));
}
