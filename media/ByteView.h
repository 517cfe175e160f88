#pragma once
// A QByteArray's bytes as the readers over plain bytes take them, and their answers back.

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

inline std::span<const std::uint8_t> ByteView(const QByteArray& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())};
}

inline QByteArray ToByteArray(const std::vector<std::uint8_t>& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}
