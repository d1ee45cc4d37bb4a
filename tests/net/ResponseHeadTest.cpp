#include "net/ResponseHead.h"

#include "net/TextDecoding.h"

#include <gtest/gtest.h>

namespace {

ResponseHead read(std::initializer_list<const char *> lines)
{
    ResponseHead head;
    for (const char *line : lines)
        head.addLine(QByteArrayView(line));
    return head;
}

TEST(ResponseHeadTest, ReadsWhatTheClientDecidesOn)
{
    const struct
    {
        const char *name;
        ResponseHead head;
        int status;
        qint64 length;
        bool chunked;
        bool location;
        bool complete;
    } cases[] = {
        {"plain", read({"HTTP/1.1 200 OK\r\n", "Content-Length: 42\r\n", "\r\n"}), 200, 42, false,
         false, true},
        {"chunked, any case",
         read({"HTTP/1.1 200 OK\r\n", "transfer-encoding: Chunked\r\n", "\r\n"}), 200, -1, true,
         false, true},
        {"redirect",
         read({"HTTP/1.1 302 Found\r\n", "Location: /x\r\n", "Content-Length: 0\r\n", "\r\n"}), 302,
         0, false, true, true},
        {"empty location", read({"HTTP/1.1 301 Moved\r\n", "Location: \r\n", "\r\n"}), 301, -1,
         false, false, true},
        {"interim response is not the head", read({"HTTP/1.1 100 Continue\r\n", "\r\n"}), 100, -1,
         false, false, false},
        {"interim then final",
         read({"HTTP/1.1 100 Continue\r\n", "\r\n", "HTTP/1.1 404 Not Found\r\n", "\r\n"}), 404, -1,
         false, false, true},
        {"bad length", read({"HTTP/1.1 200 OK\r\n", "Content-Length: lots\r\n", "\r\n"}), 200, -1,
         false, false, true},
        {"not yet complete", read({"HTTP/1.0 204 No Content\r\n"}), 204, -1, false, false, false},
        {"garbage status", read({"HTTP/1.1 abc\r\n", "\r\n"}), 0, -1, false, false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.head.status, c.status);
        EXPECT_EQ(c.head.contentLength, c.length);
        EXPECT_EQ(c.head.chunked, c.chunked);
        EXPECT_EQ(c.head.hasLocation, c.location);
        EXPECT_EQ(c.head.complete, c.complete);
    }
}

TEST(TextDecodingTest, FindsTheCharsetParameter)
{
    const struct
    {
        const char *contentType;
        const char *charset;
    } cases[] = {
        {"text/html; charset=utf-8", "utf-8"},
        {"text/html;charset=\"ISO-8859-1\"", "ISO-8859-1"},
        {"text/html; Charset = UTF-8 ; q=1", "UTF-8"},
        {"text/html", ""},
        {"", ""},
        {"text/html; name=charset", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.contentType);
        EXPECT_EQ(charsetOf(c.contentType), QByteArray(c.charset));
    }
}

TEST(TextDecodingTest, UnknownCharsetsFallBackToOneCharacterPerByte)
{
    const QByteArray bytes("caf\xc3\xa9 \x80\xff");
    EXPECT_EQ(decodeBody(bytes, "text/html; charset=utf-8"), QString::fromUtf8(bytes));
    EXPECT_EQ(decodeBody(bytes, "text/html; charset=klingon"), QString::fromLatin1(bytes));
    EXPECT_EQ(decodeBody(bytes, "text/html"), QString::fromLatin1(bytes));
    EXPECT_EQ(decodeBody(bytes, "text/html").size(), bytes.size());
}

TEST(TextDecodingTest, ABodyCutInsideACharacterKeepsAMarkForIt)
{
    // Decoded as one whole, not as the first piece of a stream still to come.
    const struct
    {
        const char *contentType;
        QByteArray bytes;
        QString text;
    } cases[] = {
        {"text/html; charset=utf-8", "caf\xc3", QStringLiteral("caf\ufffd")},
        {"text/html; charset=utf-8", "\xb5\xf4", QStringLiteral("\ufffd\ufffd")},
        {"text/html; charset=UTF-16LE", QByteArray("a\0b", 3), QStringLiteral("a\ufffd")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.contentType);
        EXPECT_EQ(decodeBody(c.bytes, c.contentType), c.text);
    }
    EXPECT_EQ(decodeBody("caf\xc3", "text/html; charset=utf-8"), QString::fromUtf8("caf\xc3"));
}

TEST(TextDecodingTest, CharsetsBeyondQtsOwnAreDecodedToo)
{
    const struct
    {
        const char *contentType;
        QByteArray bytes;
        QString text;
    } cases[] = {
        {"text/html; charset=windows-1252", "\x80 caf\xe9", QStringLiteral("\u20ac caf\u00e9")},
        {"text/html; charset=KOI8-R", "\xf0\xd2\xc9", QStringLiteral("\u041f\u0440\u0438")},
        {"text/html; charset=utf-8", "\xe2\x82\xac", QStringLiteral("\u20ac")},
        {"text/html; charset=us-ascii", "plain", QStringLiteral("plain")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.contentType);
        EXPECT_EQ(decodeBody(c.bytes, c.contentType), c.text);
    }
}

} // namespace
