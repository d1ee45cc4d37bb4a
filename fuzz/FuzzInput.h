#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstring>

// One fuzz input cut into the arguments of a parser. Fields are separated by
// the record separator byte 0x1E, so a seed stays readable text:
// "[Main]\nSavePath=/v\n" 0x1E "Main" 0x1E "SavePath".
class FuzzInput
{
public:
    FuzzInput(const uint8_t *data, size_t size)
        : m_rest(reinterpret_cast<const char *>(data), qsizetype(size))
    {}

    // The bytes up to the next separator (or the end), which are then used up.
    QByteArrayView field()
    {
        const qsizetype end = m_rest.indexOf(Separator);
        const QByteArrayView taken = end < 0 ? m_rest : m_rest.first(end);
        m_rest = end < 0 ? QByteArrayView() : m_rest.sliced(end + 1);
        return taken;
    }

    // Everything not used yet, separators included.
    QByteArrayView rest() const { return m_rest; }
    bool atEnd() const { return m_rest.isEmpty(); }

    // Text as the seeds are written, UTF-8; after a leading FF FE the rest is
    // raw UTF-16LE code units instead, so lone surrogates come up as well.
    static QString text(QByteArrayView bytes)
    {
        if (!bytes.startsWith("\xFF\xFE"))
            return QString::fromUtf8(bytes);
        const qsizetype units = (bytes.size() - 2) / 2;
        QString text(units, Qt::Uninitialized);
        std::memcpy(text.data(), bytes.data() + 2, std::size_t(units) * 2);
        return text;
    }

    // A decimal number at the start of the field ("-12 rest" gives -12), else `otherwise`.
    static qint64 number(QByteArrayView bytes, qint64 otherwise)
    {
        qsizetype i = 0;
        const bool negative = i < bytes.size() && bytes[i] == '-';
        if (negative)
            ++i;
        if (i >= bytes.size() || bytes[i] < '0' || bytes[i] > '9')
            return otherwise;
        quint64 value = 0; // wraps on long digit runs instead of overflowing
        for (; i < bytes.size() && bytes[i] >= '0' && bytes[i] <= '9'; ++i)
            value = value * 10 + quint64(bytes[i] - '0');
        return negative ? qint64(0 - value) : qint64(value);
    }

private:
    static constexpr char Separator = '\x1e';
    QByteArrayView m_rest;
};
