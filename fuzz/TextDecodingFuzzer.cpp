// The charset of a Content-Type and the body decoded in it: the parameter is
// found wherever it stands, and bodies decode as their charset says.
#include "FuzzInput.h"
#include "FuzzRequire.h"
#include "net/TextDecoding.h"
#include "service/AnsiCodePage.h"

namespace {

void checkCharset(const QByteArray &contentType, const QByteArray &body)
{
    const QByteArray charset = charsetOf(contentType);
    FUZZ_REQUIRE(contentType.contains(charset));
    if (!contentType.contains('='))
        FUZZ_REQUIRE(charset.isEmpty());
    const QString text = decodeBody(body, contentType);
    if (charset.isEmpty())
        FUZZ_REQUIRE(text == QString::fromLatin1(body));
}

// Bodies in the charsets the service's pages come in, and in none.
void checkKnownCharsets(const QByteArray &body)
{
    FUZZ_REQUIRE(decodeBody(body, "text/html; charset=utf-8") == QString::fromUtf8(body));
    FUZZ_REQUIRE(decodeBody(body, "text/html; charset=windows-1252") == AnsiToUnicode(body));
    FUZZ_REQUIRE(decodeBody(body, "text/html; Charset = \"ISO-8859-1\"") ==
                 QString::fromLatin1(body));
    FUZZ_REQUIRE(decodeBody(body, "text/html") == QString::fromLatin1(body));
    FUZZ_REQUIRE(decodeBody(body, "text/html; charset=no-such-charset") ==
                 QString::fromLatin1(body));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceQtMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    // CONTENT-TYPE, then the body.
    const QByteArray contentType = input.field().toByteArray();
    const QByteArray body = input.rest().toByteArray();
    checkCharset(contentType, body);
    checkKnownCharsets(body);

    // Text of every kind comes back from its UTF-8 and UTF-16 forms.
    const QString text = FuzzInput::text(body);
    if (QString::fromUtf8(text.toUtf8()) == text) {
        FUZZ_REQUIRE(decodeBody(text.toUtf8(), "text/plain; charset=UTF-8") == text);
        QByteArray utf16(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
        FUZZ_REQUIRE(decodeBody(utf16, "text/plain; charset=UTF-16LE") == text);
    }
    return 0;
}
