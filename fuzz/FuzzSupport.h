#pragma once
// What the fuzz targets over text share: the property check, the input as text, and a plain
// reference reading of decimal integers to hold the parsers against.

#include "fuzz/FuzzCheck.h"

#include <QString>
#include <QStringView>

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

// Invalid UTF-8 becomes U+FFFD, as it would on its way in from a file or an edit box.
inline QString InputText(const std::uint8_t* data, std::size_t size) {
    return QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
}

// A signed 32-bit decimal: optional sign, ASCII digits only, nothing around them.
// Written independently of ParseDecimalInt (std::from_chars does the arithmetic).
inline std::optional<int> ReferenceDecimalInt(QStringView text) {
    std::string ascii;
    for (QChar c : text) {
        if (c.unicode() > 0x7F)
            return std::nullopt;
        ascii += char(c.unicode());
    }
    std::string_view s = ascii;
    bool negative = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    if (s.empty() || s.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    const std::size_t firstNonZero = s.find_first_not_of('0');
    s.remove_prefix(firstNonZero == std::string_view::npos ? s.size() - 1 : firstNonZero);
    if (s.size() > 10)
        return std::nullopt;
    long long v = 0;
    std::from_chars(s.data(), s.data() + s.size(), v);
    if (negative)
        v = -v;
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(v);
}

// The text is exactly what QString::number writes for its value: no sign but "-", no leading
// zeros, no "-0".
inline bool IsCanonicalInt(QStringView text) {
    const std::optional<int> v = ReferenceDecimalInt(text);
    return v && QString::number(*v) == text;
}

// Blanks and tabs around a value are not part of it (the store's reading of "level = 3").
inline QStringView TrimBlanks(QStringView s) {
    while (!s.isEmpty() && (s.front() == u' ' || s.front() == u'\t'))
        s = s.mid(1);
    while (!s.isEmpty() && (s.back() == u' ' || s.back() == u'\t'))
        s.chop(1);
    return s;
}
