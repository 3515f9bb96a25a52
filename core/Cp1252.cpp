#include "Cp1252.h"

#include <array>

namespace cp1252 {

namespace {

// Characters of the bytes 0x80-0x9F; the undefined ones keep their C1 control value.
constexpr std::array<char16_t, 32> kHaut = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char versOctet(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (size_t i = 0; i < kHaut.size(); ++i)
        if (kHaut[i] == c)
            return static_cast<char>(0x80 + i);
    return '?';
}

} // namespace

QString decode(QByteArrayView bytes) {
    QString s(bytes.size(), Qt::Uninitialized);
    QChar* out = s.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out[i] = (b >= 0x80 && b < 0xA0) ? QChar(kHaut[b - 0x80]) : QChar(b);
    }
    return s;
}

QByteArray encode(QStringView text) {
    QByteArray out(text.size(), Qt::Uninitialized);
    char* p = out.data();
    qsizetype n = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        // A surrogate pair is one character outside the code page: one '?'.
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        p[n++] = versOctet(c);
    }
    out.truncate(n);
    return out;
}

} // namespace cp1252
