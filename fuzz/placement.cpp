// The window placement record "MainForm": parsing, formatting, and fitting onto screens.
//
// Input: the record text, optionally followed by a line "left,top,width,height" naming one
// more screen to fit it on (kept to sizes a real screen has).

#include "fuzz/FuzzSupport.h"
#include "placement/WindowPlacement.h"

#include <QList>
#include <QStringList>

#include <algorithm>

namespace {

constexpr qint64 MaxWindowSide = 16777215;

// The record as its format describes it, read without ParsePlacement.
std::optional<TPlacementRecord> ReferencePlacement(const QString& text) {
    const QStringList fields = text.split(u',');
    if (fields.size() != 7 || fields[0] != QLatin1String("200"))
        return std::nullopt;
    int v[7] = {};
    for (int i = 1; i < 7; ++i) {
        const std::optional<int> n = ReferenceDecimalInt(fields[i]);
        if (!n)
            return std::nullopt;
        v[i] = *n;
    }
    const qint64 width = qint64(v[5]) - v[3], height = qint64(v[6]) - v[4];
    if (width < 1 || width > MaxWindowSide || height < 1 || height > MaxWindowSide)
        return std::nullopt;
    return TPlacementRecord{v[1], v[2], v[3], v[4], v[5], v[6]};
}

bool IsCanonical(const QString& text) {
    const QStringList fields = text.split(u',');
    return std::all_of(fields.begin(), fields.end(), [](const QString& f) { return IsCanonicalInt(f); });
}

// One axis of FitOnScreen's promise: [lo, lo + size) of the frame against [from, to) of the
// screen, with the smallest size the frame may have.
void CheckAxis(qint64 lo, qint64 size, qint64 fittedLo, qint64 fittedSize, qint64 from, qint64 to, qint64 minSize) {
    FUZZ_CHECK(fittedSize == std::max(std::min(size, to - from), minSize)); // shrunk to fit, not below the least
    FUZZ_CHECK(fittedLo >= from && fittedLo < to);                          // the title bar stays on the screen
    if (fittedSize <= to - from)
        FUZZ_CHECK(fittedLo + fittedSize <= to); // what fits lies wholly on the screen
    if (lo >= from && lo + size <= to && size >= minSize)
        FUZZ_CHECK(fittedLo == lo && fittedSize == size); // what lies on the screen stays
}

void CheckScreen(const TPlacementRecord& r, const QRect& screen) {
    const QRect frame = r.NormalRect();
    for (const QSize minFrame : {QSize(1, 1), QSize(702, 525)}) {
        const QRect f = FitOnScreen(frame, screen, minFrame);
        CheckAxis(frame.left(), frame.width(), f.left(), f.width(), screen.left(),
                  qint64(screen.left()) + screen.width(), minFrame.width());
        CheckAxis(frame.top(), frame.height(), f.top(), f.height(), screen.top(),
                  qint64(screen.top()) + screen.height(), minFrame.height());
    }

    const QSize size = frame.size();
    const qint64 sl = screen.left(), st = screen.top();
    const QPoint centred = CentredOnScreen(size, screen);
    if (size.width() <= screen.width())
        FUZZ_CHECK(centred.x() >= sl && centred.x() + qint64(size.width()) <= sl + screen.width());
    if (size.height() <= screen.height())
        FUZZ_CHECK(centred.y() >= st && centred.y() + qint64(size.height()) <= st + screen.height());

    // The opening effect ends on the window itself, wherever the pointer is.
    const QRect window = FitOnScreen(frame, screen, QSize(1, 1));
    for (const QPoint pointer : {screen.topLeft(), screen.center(), screen.bottomRight()}) {
        const QList<QRect> rects = ExplodeRects(pointer, window);
        FUZZ_CHECK(rects.size() == 40 && rects.last() == window);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString input = InputText(data, size);
    const qsizetype newline = input.indexOf(u'\n');
    const QString text = newline < 0 ? input : input.left(newline);

    const std::optional<TPlacementRecord> record = ParsePlacement(text);
    const std::optional<TPlacementRecord> expected = ReferencePlacement(text);
    FUZZ_CHECK(record == expected);
    if (!record)
        return 0;
    const QString formatted = FormatPlacement(*record);
    FUZZ_CHECK(ParsePlacement(formatted) == record);
    if (IsCanonical(text))
        FUZZ_CHECK(formatted == text);

    QList<QRect> screens{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024), QRect(-1280, -200, 1280, 1024),
                         QRect(0, 0, 1, 1)};
    if (newline >= 0) {
        const QStringList s = input.mid(newline + 1).trimmed().split(u',');
        if (s.size() == 4) {
            // A screen lies within a few million pixels of the origin and is at most 65536 wide.
            const auto pos = [](const QString& t) { return std::clamp(t.toInt(), -(1 << 22), 1 << 22); };
            const auto side = [](const QString& t) { return std::clamp(t.toInt(), 1, 1 << 16); };
            screens.append(QRect(pos(s[0]), pos(s[1]), side(s[2]), side(s[3])));
        }
    }
    for (const QRect& screen : std::as_const(screens))
        CheckScreen(*record, screen);
    // Among several screens the frame lands wholly on one of them.
    const QRect placed = PlaceFrame(record, screens, QSize(1, 1), QSize(700, 500));
    FUZZ_CHECK(std::any_of(screens.begin(), screens.end(), [&](const QRect& s) { return s.contains(placed); }));
    return 0;
}
