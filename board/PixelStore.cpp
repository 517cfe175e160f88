#include "board/PixelStore.h"

TPixelStore::Block::Block(size_t size) : Bytes(new uchar[size]), Size(size) {}

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
    return QImage(m_block->Bytes.get(), w, h, qsizetype(w) * 4, QImage::Format_RGB32, &Release,
                  new std::shared_ptr<Block>(m_block));
}
