#include "board/PixelStore.h"

#include <sys/mman.h>

#include <new>

namespace {

// From here on a block is asked for in large (2 MiB) pages: a board picture this big is
// written whole at every re-layout and read in tall narrow strips by a dragged card, and
// large pages need five hundred times fewer faults and address translations for both.
constexpr size_t LargeBlock = 8u << 20;
constexpr size_t LargePage = 2u << 20;

} // namespace

TPixelStore::Block::Block(size_t size) : Size(size) {
#ifdef MADV_HUGEPAGE
    if (size >= LargeBlock) {
        const size_t rounded = (size + LargePage - 1) / LargePage * LargePage;
        void* p = mmap(nullptr, rounded, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p != MAP_FAILED) {
            madvise(p, rounded, MADV_HUGEPAGE); // only advice: without it the pages are small
            Bytes = static_cast<uchar*>(p);
            Size = rounded;
            Mapped = true;
            return;
        }
    }
#endif
    Bytes = new uchar[size];
}

TPixelStore::Block::~Block() {
    if (Mapped) munmap(Bytes, Size);
    else delete[] Bytes;
}

namespace {

void Release(void* info) {
    auto* holder = static_cast<std::shared_ptr<TPixelStore::Block>*>(info);
    --(*holder)->Pictures;
    delete holder;
}

} // namespace

QImage TPixelStore::Make(int w, int h) {
    if (w <= 0 || h <= 0) return QImage();
    const size_t need = size_t(w) * size_t(h) * 4;
    if (!m_block || m_block->Pictures.load() != 0 || m_block->Size < need) {
        // An eighth more than asked: a window growing a few pixels at a time keeps its block.
        m_block.reset();
        m_block = std::make_shared<Block>(need + need / 8);
    }
    ++m_block->Pictures;
    return QImage(m_block->Bytes, w, h, qsizetype(w) * 4, QImage::Format_RGB32, &Release,
                  new std::shared_ptr<Block>(m_block));
}
