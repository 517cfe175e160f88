// ParseDecimalInt, the one reading of integers behind the settings, the placement record and
// the highscore rows, held against an independent reading of the same grammar.

#include "fuzz/FuzzSupport.h"
#include "settings/ini.h"

#include <cstring>

namespace {

void CheckText(QStringView text) {
    const std::optional<int> parsed = ParseDecimalInt(text);
    const std::optional<int> expected = ReferenceDecimalInt(text);
    FUZZ_CHECK(parsed.has_value() == expected.has_value());
    if (!parsed)
        return;
    FUZZ_CHECK(*parsed == *expected);
    // What the store writes reads back as the same number.
    const QString written = QString::number(*parsed);
    FUZZ_CHECK(ParseDecimalInt(written) == parsed);
    if (IsCanonicalInt(text))
        FUZZ_CHECK(written == text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The bytes as UTF-8 (digits of other scripts included) and as raw UTF-16 units
    // (lone surrogates, NUL and everything else a QString can hold).
    CheckText(InputText(data, size));
    QString units(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(units.data(), data, size / 2 * 2);
    CheckText(units);
    return 0;
}
