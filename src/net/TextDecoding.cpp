#include "net/TextDecoding.h"

#include <QList>
#include <QStringDecoder>

#include <iconv.h>
#include <memory>
#include <optional>

namespace {

struct IconvCloser
{
    void operator()(void *handle) const { iconv_close(static_cast<iconv_t>(handle)); }
};

// Charsets Qt has no decoder for (windows-1252, koi8-r, ...) through the C
// library's converter; none when it does not know the charset either or the
// bytes do not fit it.
std::optional<QString> decodeWithIconv(const QByteArray &body, const QByteArray &charset)
{
    const iconv_t opened = iconv_open("UTF-16LE", charset.constData());
    if (opened == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    const std::unique_ptr<void, IconvCloser> converter(opened);
    QByteArray input = body;
    QByteArray output((body.size() + 1) * 4, Qt::Uninitialized);
    char *in = input.data();
    size_t inLeft = size_t(input.size());
    char *out = output.data();
    size_t outLeft = size_t(output.size());
    if (iconv(opened, &in, &inLeft, &out, &outLeft) == size_t(-1))
        return std::nullopt;
    const qsizetype units = (output.size() - qsizetype(outLeft)) / 2;
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(output.constData()), units);
}

} // namespace

QByteArray charsetOf(const QByteArray &contentType)
{
    for (const QByteArray &part : contentType.split(';')) {
        const QByteArray parameter = part.trimmed();
        const qsizetype equals = parameter.indexOf('=');
        if (equals <= 0)
            continue;
        if (parameter.first(equals).trimmed().toLower() != "charset")
            continue;
        QByteArray value = parameter.sliced(equals + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return {};
}

QString decodeBody(const QByteArray &body, const QByteArray &contentType)
{
    const QByteArray charset = charsetOf(contentType);
    if (!charset.isEmpty()) {
        // Stateless: the body is whole, so a character cut off at its end is
        // marked as broken instead of being kept back for bytes to come.
        QStringDecoder decoder(charset.constData(), QStringConverter::Flag::Stateless);
        if (decoder.isValid())
            return decoder.decode(body);
        if (const std::optional<QString> text = decodeWithIconv(body, charset))
            return *text;
    }
    return QString::fromLatin1(body);
}
