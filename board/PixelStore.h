#pragma once
// Memory for the board's largest bitmaps (the canvas, the background, the picture strips),
// which a re-layout makes anew at every step of a resize. At 3840 x 2160 the canvas alone is
// 33 MB: allocated fresh every time, its pages would be handed over by the system one by one
// again, each cleared first, and that alone takes longer than drawing into them. A store keeps
// its block and hands it out again while it is large enough and nobody holds the picture made
// from it before.

#include <QImage>

#include <atomic>
#include <cstddef>
#include <memory>

class TPixelStore {
public:
    // An RGB32 picture of w x h; its pixels are not cleared. Release the store's last picture
    // first (assign it a null QImage): a block still held is never handed out twice.
    QImage Make(int w, int h);

    struct Block {
        explicit Block(size_t size);
        std::unique_ptr<uchar[]> Bytes; // not cleared
        size_t Size;
        std::atomic<int> Pictures{0}; // made from it and not yet destroyed
    };

private:
    std::shared_ptr<Block> m_block;
};
