#include "service/VideoLink.h"

#include "service/ServiceUrls.h"

#include <gtest/gtest.h>

namespace {

struct LinkCase
{
    const char *link;
    bool recognised;
    const char *label;
    const char *id;
};

} // namespace

TEST(VideoLink, EveryLinkFormGivesItsIdOrNothing)
{
    const LinkCase cases[]{
        {"http://www.youtube.com/watch?v=abc&feature=related", true, "YouTube", "abc"},
        {"http://www.youtube.com/watch?v=abc", true, "YouTube", "abc"},
        {"http://www.youtube.com/v/abc", true, "YouTube", "abc"},
        {"http://www.youtube.com/v/abc&hl=en", true, "YouTube", "abc"},
        {"HTTP://WWW.YOUTUBE.COM/watch?v=abc", true, "YouTube", "abc"},
        // A capital V= is no id; "v/" is tried next and is missing too.
        {"http://www.youtube.com/watch?V=abc", true, "YouTube", ""},
        {"http://www.youtube.com/watch?V=abc/v/def", true, "YouTube", "def"},
        {"http://www.youtube.com/watch?v=", true, "YouTube", ""},
        {"http://www.youtube.com/watch?v=&x=1", true, "YouTube", ""},
        // The first "v=" after the service name counts, even inside another name.
        {"http://www.youtube.com/watch?dev=1&v=abc", true, "YouTube", "1"},
        // "v=" before the service name is not looked at.
        {"http://v=zz.example/?u=youtube.com/watch?v=abc", true, "YouTube", "abc"},
        {"http://www.youtube.com/watch?v=abc ", true, "YouTube", "abc "},
        {"youtube.com", true, "YouTube", ""},
        {"http://youtu.be/abc", true, "youtu.be/", "abc"},
        {"http://YOUTU.BE/abc", true, "youtu.be/", "abc"},
        {"http://youtu.be/abc?t=30", true, "youtu.be/", "abc?t=30"},
        {"http://youtu.be/abc&x=1", true, "youtu.be/", "abc"},
        {"http://youtu.be/", true, "youtu.be/", ""},
        {"http://youtu.be/&x", true, "youtu.be/", ""},
        // The short form is tested on the info URL the first form left behind.
        {"http://www.youtube.com/watch?v=youtu.be/xyz", true, "youtu.be/", "xyz"},
        {"http://youtu.be", false, "", ""},
        {"http://vimeo.com/watch?v=abc", false, "", ""},
        {"", false, "", ""},
    };
    for (const LinkCase &c : cases) {
        SCOPED_TRACE(c.link);
        const auto parsed = ParseVideoLink(QString::fromUtf8(c.link));
        ASSERT_EQ(parsed.has_value(), c.recognised);
        if (!parsed)
            continue;
        EXPECT_EQ(parsed->LinkLabel, QString::fromUtf8(c.label));
        EXPECT_EQ(parsed->VideoId, QString::fromUtf8(c.id));
    }
}

TEST(ServiceUrls, IdGoesInUnchanged)
{
    const QString id = QStringLiteral("a b%20&c");
    EXPECT_EQ(WatchUrl(id), QStringLiteral("http://www.youtube.com/watch?v=a b%20&c"));
    EXPECT_EQ(InfoUrl(id),
              QStringLiteral("http://www.youtube.com/get_video_info?video_id=a b%20&c"));
    EXPECT_EQ(FeedUrl(id), QStringLiteral("http://gdata.youtube.com/feeds/api/videos/a b%20&c"));
}
