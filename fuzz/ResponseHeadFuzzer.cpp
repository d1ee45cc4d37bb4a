// The response head, line by line as libcurl hands it over: fields within
// their ranges, a status line starting afresh, and a head written from known
// values read back as those values.
#include "FuzzInput.h"
#include "FuzzRequire.h"
#include "net/ResponseHead.h"

#include <QList>

namespace {

bool startsStatusLine(QByteArrayView line)
{
    return line.size() >= 5 && line.first(5).compare("HTTP/", Qt::CaseInsensitive) == 0;
}

void checkFields(const ResponseHead &head)
{
    FUZZ_REQUIRE(head.status == 0 || (head.status >= 100 && head.status <= 999));
    FUZZ_REQUIRE(head.contentLength >= -1);
    if (head.complete)
        FUZZ_REQUIRE(head.status != 0 && !head.isInformational());
}

void checkLines(QByteArrayView bytes)
{
    ResponseHead head;
    while (!bytes.isEmpty()) {
        const qsizetype end = bytes.indexOf('\n');
        const QByteArrayView line = end < 0 ? bytes : bytes.first(end + 1);
        bytes = bytes.sliced(line.size());
        head.addLine(line);
        checkFields(head);
        if (startsStatusLine(line)) {
            FUZZ_REQUIRE(head.contentLength == -1 && !head.chunked && !head.hasLocation);
            FUZZ_REQUIRE(!head.complete && head.contentType.isEmpty());
        }
    }
}

// Visible ASCII without the blanks at either end that reading would drop.
QByteArray headerValue(QByteArrayView bytes)
{
    QByteArray value;
    for (const char c : bytes)
        if (c > ' ' && c < 127)
            value += c;
        else if (!value.isEmpty())
            value += ' ';
    return value.trimmed();
}

void checkWrittenHead(QByteArrayView bytes)
{
    quint64 seed = 0;
    for (qsizetype i = 0; i < 8 && i < bytes.size(); ++i)
        seed |= quint64(quint8(bytes[i])) << (8 * i);
    const int status = 100 + int(seed % 900);
    const qint64 length = qint64(seed >> 10);
    const bool chunked = seed & 1;
    const bool located = seed & 2;
    const QByteArray type = headerValue(bytes);

    QByteArray text = "HTTP/1.1 " + QByteArray::number(status) + " Whatever\r\n" +
                      "Date: Wed, 15 Aug 2012 14:05:09 GMT\r\n";
    if (chunked)
        text += "Transfer-Encoding: chunked\r\n";
    else
        text += "Content-Length: " + QByteArray::number(length) + "\r\n";
    if (located)
        text += "Location: http://www.youtube.com/watch?v=x\r\n";
    if (!type.isEmpty())
        text += "content-type:" + type + "\r\n";
    text += "\r\n";

    ResponseHead head;
    // An interim response first, which the real one replaces.
    head.addLine("HTTP/1.1 100 Continue\r\n");
    head.addLine("\r\n");
    FUZZ_REQUIRE(head.status == 100 && !head.complete);
    for (const QByteArray &line : text.split('\n'))
        if (!line.isEmpty())
            head.addLine(line + '\n');
    FUZZ_REQUIRE(head.status == status);
    FUZZ_REQUIRE(head.contentLength == (chunked ? -1 : length));
    FUZZ_REQUIRE(head.chunked == chunked);
    FUZZ_REQUIRE(head.hasLocation == located);
    FUZZ_REQUIRE(head.contentType == type);
    FUZZ_REQUIRE(head.complete == (status >= 200));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes = FuzzInput(data, size).rest();
    checkLines(bytes);
    checkWrittenHead(bytes);
    return 0;
}
