#include "board/StripPicture.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray Resource(const char* path) {
    QFile f(QString::fromLatin1(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The same picture with its cell groups taken out: it can only be drawn as a whole.
QByteArray Ungrouped(QByteArray svg) { return svg.replace("<g>", "").replace("</g>", ""); }

} // namespace

// Each cell drawn from a document of its own must give exactly the pixels the whole picture
// gives for it, at odd and large sizes alike, also after the documents were let go of and read
// again: the board's pixel tests and the look rest on it.
TEST(StripPicture, CellByCellMatchesTheWholePicture) {
    struct Case {
        const char* path;
        int cells;
        Qt::Orientation orientation;
    };
    for (const Case& c : {Case{":/board/cards.svg", 5, Qt::Horizontal}, Case{":/board/glyphs.svg", 13, Qt::Vertical},
                          Case{":/board/patterns.svg", 21, Qt::Horizontal}}) {
        const QByteArray svg = Resource(c.path);
        ASSERT_FALSE(svg.isEmpty()) << c.path;
        TStripPicture split(c.cells, c.orientation), whole(c.cells, c.orientation);
        ASSERT_TRUE(split.Load(svg));
        ASSERT_TRUE(whole.Load(Ungrouped(svg)));
        EXPECT_TRUE(split.CellByCell()) << c.path;
        EXPECT_FALSE(whole.CellByCell()) << c.path;
        for (int size : {17, 64, 131, 300})
            EXPECT_EQ(split.Render(size, qRgb(1, 2, 3)), whole.Render(size, qRgb(1, 2, 3))) << c.path << " at " << size;
        // Documents let go of are read again from their text for the next size, to the same pixels.
        const QImage before = split.Render(90, qRgb(1, 2, 3));
        const QImage beforeWhole = whole.Render(90, qRgb(1, 2, 3));
        split.LetGoOfDocuments();
        whole.LetGoOfDocuments();
        EXPECT_EQ(split.Render(90, qRgb(1, 2, 3)), before) << c.path;
        EXPECT_EQ(whole.Render(90, qRgb(1, 2, 3)), beforeWhole) << c.path;
    }
}

// A picture whose groups do not match its cells, or that is no picture, is handled whole or not
// at all; nothing is half split.
TEST(StripPicture, OddDocuments) {
    const QByteArray twoGroups = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 300 100\">"
                                 "<g><rect x=\"0\" y=\"0\" width=\"100\" height=\"100\" fill=\"#ff0000\"/></g>"
                                 "<g><rect x=\"100\" y=\"0\" width=\"100\" height=\"100\" fill=\"#00ff00\"/></g>"
                                 "<rect x=\"200\" y=\"0\" width=\"100\" height=\"100\" fill=\"#0000ff\"/></svg>";
    TStripPicture three(3, Qt::Horizontal);
    ASSERT_TRUE(three.Load(twoGroups));
    EXPECT_FALSE(three.CellByCell());
    const QImage strip = three.Render(10, qRgb(0, 0, 0));
    EXPECT_EQ(strip.pixel(5, 5), qRgb(255, 0, 0));
    EXPECT_EQ(strip.pixel(15, 5), qRgb(0, 255, 0));
    EXPECT_EQ(strip.pixel(25, 5), qRgb(0, 0, 255));

    // Two cells, two groups, and a ground outside them that each cell keeps.
    TStripPicture two(2, Qt::Horizontal);
    ASSERT_TRUE(two.Load(QByteArray(twoGroups).replace("0 0 300 100", "0 0 200 100")));
    EXPECT_TRUE(two.CellByCell());
    EXPECT_EQ(two.Render(10, qRgb(0, 0, 0)).pixel(15, 5), qRgb(0, 255, 0));

    // The second cell's group reaches into the first: the first cell still shows it, drawn
    // over its own picture as the whole document draws it.
    TStripPicture reaching(2, Qt::Horizontal);
    ASSERT_TRUE(reaching.Load(QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 200 100\">"
                              "<g><rect x=\"0\" y=\"0\" width=\"100\" height=\"100\" fill=\"#ff0000\"/></g>"
                              "<g><rect x=\"50\" y=\"0\" width=\"150\" height=\"100\" fill=\"#00ff00\"/></g></svg>")));
    EXPECT_TRUE(reaching.CellByCell());
    const QImage overlapped = reaching.Render(10, qRgb(0, 0, 0));
    EXPECT_EQ(overlapped.pixel(2, 5), qRgb(255, 0, 0));
    EXPECT_EQ(overlapped.pixel(7, 5), qRgb(0, 255, 0));

    for (const QByteArray& broken : {QByteArray(), QByteArray("<svg"), QByteArray("not a picture at all")}) {
        TStripPicture p(2, Qt::Horizontal);
        EXPECT_FALSE(p.Load(broken));
        EXPECT_FALSE(p.IsValid());
        const QImage ground = p.Render(4, qRgb(9, 9, 9));
        EXPECT_EQ(ground.size(), QSize(8, 4));
        EXPECT_EQ(ground.pixel(7, 3), qRgb(9, 9, 9));
    }
}
