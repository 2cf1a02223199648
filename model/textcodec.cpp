#include "textcodec.h"

#include <array>

namespace
{

// Windows-1252 0x80..0x9F. The five bytes the code page leaves undefined map to
// the C1 controls of the same value, so they too survive a round trip.
constexpr std::array<char16_t, 32> Cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::optional<char> ToCp1252(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < Cp1252High.size(); ++i) {
        if (Cp1252High[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return std::nullopt;
}

// The character at i, a surrogate pair counted as one.
QString CharacterAt(const QString& text, qsizetype i)
{
    if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
        return text.mid(i, 2);
    return text.mid(i, 1);
}

} // namespace

QString DecodeText(std::string_view bytes, TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8) {
        // QString::fromUtf8 drops a byte-order mark at the start, which would
        // then be missing when the text is encoded again.
        constexpr std::string_view kBom = "\xEF\xBB\xBF";
        qsizetype marks = 0;
        while (bytes.starts_with(kBom)) {
            bytes.remove_prefix(kBom.size());
            ++marks;
        }
        QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
        if (marks > 0)
            text.prepend(QString(marks, QChar(0xFEFF)));
        return text;
    }
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        *out++ = QChar(u >= 0x80 && u < 0xA0 ? Cp1252High[u - 0x80] : char16_t(u));
    }
    return text;
}

std::optional<std::string> EncodeText(const QString& text, TextEncoding encoding, QString* firstBad)
{
    if (encoding == TextEncoding::Utf8) {
        // A lone surrogate has no UTF-8 form; Qt would write "?" for it.
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                ++i;
            } else if (c.isSurrogate()) {
                if (firstBad)
                    *firstBad = text.mid(i, 1);
                return std::nullopt;
            }
        }
        const QByteArray utf8 = text.toUtf8();
        return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    }
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const std::optional<char> b = ToCp1252(text.at(i).unicode());
        if (!b) {
            if (firstBad)
                *firstBad = CharacterAt(text, i);
            return std::nullopt;
        }
        bytes += *b;
    }
    return bytes;
}
