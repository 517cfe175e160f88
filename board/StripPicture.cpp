#include "board/StripPicture.h"

#include "board/Raster.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>
#include <QPainter>
#include <QSvgRenderer>
#include <QThreadPool>
#include <QXmlStreamReader>

#include <algorithm>
#include <atomic>
#include <latch>

// The text of a picture cut at its elements: the head up to the root's start tag, the root's
// children (with what lies before each), and the rest. A top-level group is cut once more:
// its start tag, its children, its end.
struct TStripPicture::Cut {
    QString Head, Tail;
    struct Child {
        QString Text;
        qsizetype NameEnd; // in Text: just after the element's name, where attributes may go
    };
    struct Part {
        bool Group = false;
        QString Open, Close; // a group's start and end (Open holds all of any other part)
        std::vector<Child> Children;
    };
    std::vector<Part> Parts;
};

namespace {

using Cut = TStripPicture::Cut;

bool CutPicture(const QString& text, Cut& out) {
    QXmlStreamReader xml(text);
    int depth = 0;
    qsizetype done = 0; // everything before this is placed
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        const qsizetype at = xml.characterOffset();
        if (token == QXmlStreamReader::StartElement) {
            if (depth == 0) {
                out.Head = text.left(at);
                done = at;
            } else if (depth == 1) {
                out.Parts.push_back({});
                out.Parts.back().Group = xml.name() == QLatin1String("g");
                if (out.Parts.back().Group) {
                    out.Parts.back().Open = text.mid(done, at - done);
                    done = at;
                }
            } else if (depth == 2 && out.Parts.back().Group) {
                // A start tag holds no '<' of its own: the last one before its end begins it.
                const qsizetype tag = text.lastIndexOf(QLatin1Char('<'), at - 1);
                out.Parts.back().Children.push_back({QString(), tag + 1 + xml.qualifiedName().size() - done});
            }
            ++depth;
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
            if (depth == 2 && out.Parts.back().Group) {
                out.Parts.back().Children.back().Text = text.mid(done, at - done);
                done = at;
            } else if (depth == 1) {
                Cut::Part& part = out.Parts.back();
                (part.Group ? part.Close : part.Open) = text.mid(done, at - done);
                done = at;
            } else if (depth == 0) {
                out.Tail = text.mid(done);
                break;
            }
        }
    }
    return !xml.hasError() && depth == 0 && !out.Head.isEmpty();
}

QString GroupName(size_t group) { return QStringLiteral("zelvano-%1").arg(group); }
QString ChildName(size_t group, size_t child) { return QStringLiteral("zelvano-%1-%2").arg(group).arg(child); }

} // namespace

bool TStripPicture::Load(const QString& path) {
    m_renderers.clear();
    m_texts.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    return Load(file.readAll());
}

bool TStripPicture::Load(const QByteArray& svg) {
    m_renderers.clear();
    m_texts.clear();
    m_cellByCell = false;
    Cut cut;
    bool grouped = CutPicture(QString::fromUtf8(svg), cut) &&
                   std::count_if(cut.Parts.begin(), cut.Parts.end(), [](const Cut::Part& p) { return p.Group; }) == m_cells;
    // The whole picture; when it is grouped by cell, with every group and every element of a
    // group named, to learn where each one reaches.
    auto whole = NewRenderer(grouped ? NamedText(cut).toUtf8() : svg);
    if (grouped && !whole->isValid()) {
        grouped = false;
        whole = NewRenderer(svg);
    }
    if (!whole->isValid() || whole->viewBoxF().isEmpty()) return false;
    m_viewBox = whole->viewBoxF();
    whole->setAspectRatioMode(Qt::IgnoreAspectRatio);
    if (grouped) {
        m_renderers = CellRenderers(cut, *whole);
        m_cellByCell = m_renderers.size() == static_cast<size_t>(m_cells);
        if (m_cellByCell) return true;
        m_texts.clear();
    }
    m_renderers.assign(1, whole);
    m_texts.assign(1, svg);
    return true;
}

void TStripPicture::LetGoOfDocuments() {
    for (auto& renderer : m_renderers) renderer.reset();
}

bool TStripPicture::HoldsDocuments() const {
    return std::any_of(m_renderers.begin(), m_renderers.end(), [](const auto& r) { return r != nullptr; });
}

QSvgRenderer& TStripPicture::Renderer(size_t i) const {
    auto& renderer = m_renderers[i];
    if (!renderer) {
        renderer = NewRenderer(m_texts[i]);
        renderer->setAspectRatioMode(Qt::IgnoreAspectRatio);
        if (m_cellByCell) renderer->setViewBox(CellBox(static_cast<int>(i)));
    }
    return *renderer;
}

std::shared_ptr<QSvgRenderer> TStripPicture::NewRenderer(const QByteArray& svg) {
    auto r = std::make_shared<QSvgRenderer>(svg);
    // Read on a helper thread, the renderer belongs to the program's own thread all the same.
    if (const QCoreApplication* app = QCoreApplication::instance(); app && r->thread() != app->thread())
        r->moveToThread(app->thread());
    return r;
}

QString TStripPicture::NamedText(const Cut& cut) {
    QString text = cut.Head;
    size_t g = 0;
    for (const auto& part : cut.Parts) {
        if (!part.Group) {
            text += part.Open;
            continue;
        }
        // The group's start tag ends the opening text; its name, g, follows its '<'.
        text += QString(part.Open).insert(part.Open.lastIndexOf(QLatin1Char('<')) + 2, QStringLiteral(" id=\"%1\"").arg(GroupName(g)));
        for (size_t c = 0; c < part.Children.size(); ++c)
            text += QString(part.Children[c].Text).insert(part.Children[c].NameEnd, QStringLiteral(" id=\"%1\"").arg(ChildName(g, c)));
        text += part.Close;
        ++g;
    }
    return text + cut.Tail;
}

// A small document per cell: everything outside the groups (gradients, a common ground), that
// cell's group, and whatever element of another group reaches into the cell, all in their
// order. Rendering a cell then draws only what can show in it, where the whole document would
// draw every other cell's paths too, only to have them clipped away. Empty if any fails.
std::vector<std::shared_ptr<QSvgRenderer>> TStripPicture::CellRenderers(const Cut& cut, QSvgRenderer& named) {
    std::vector<const Cut::Part*> groups;
    for (const auto& part : cut.Parts)
        if (part.Group) groups.push_back(&part);
    // Asking where an element reaches is slow: only a group that reaches out of its own cell
    // is asked about element by element. The others reach nowhere else.
    std::vector<std::vector<QRectF>> reach(groups.size());
    for (size_t j = 0; j < groups.size(); ++j) {
        reach[j].resize(groups[j]->Children.size());
        if (CellBox(static_cast<int>(j)).contains(named.boundsOnElement(GroupName(j)))) continue;
        for (size_t c = 0; c < groups[j]->Children.size(); ++c) reach[j][c] = named.boundsOnElement(ChildName(j, c));
    }
    std::vector<std::shared_ptr<QSvgRenderer>> cells;
    for (int k = 0; k < m_cells; ++k) {
        const QRectF box = CellBox(k);
        QString doc = cut.Head;
        size_t j = 0;
        for (const auto& part : cut.Parts) {
            if (!part.Group) {
                doc += part.Open;
                continue;
            }
            const bool own = j == static_cast<size_t>(k);
            QString children;
            for (size_t c = 0; c < part.Children.size(); ++c)
                if (own || reach[j][c].intersects(box)) children += part.Children[c].Text;
            if (own || !children.isEmpty()) doc += part.Open + children + part.Close;
            ++j;
        }
        doc += cut.Tail;
        m_texts.push_back(doc.toUtf8());
        auto r = NewRenderer(m_texts.back());
        if (!r->isValid()) {
            m_texts.clear();
            return {};
        }
        r->setAspectRatioMode(Qt::IgnoreAspectRatio);
        r->setViewBox(box);
        cells.push_back(std::move(r));
    }
    return cells;
}

QRectF TStripPicture::CellBox(int c) const {
    const bool row = m_orientation == Qt::Horizontal;
    const double w = m_viewBox.width() / (row ? m_cells : 1), h = m_viewBox.height() / (row ? 1 : m_cells);
    return QRectF(m_viewBox.x() + (row ? c * w : 0), m_viewBox.y() + (row ? 0 : c * h), w, h);
}

QRect TStripPicture::CellRect(int c, int cellSize) const {
    const bool row = m_orientation == Qt::Horizontal;
    return QRect(row ? c * cellSize : 0, row ? 0 : c * cellSize, cellSize, cellSize);
}

QImage TStripPicture::NewStrip(int cellSize) const {
    const bool row = m_orientation == Qt::Horizontal;
    // Not cleared here: every cell is filled with the ground by the thread that renders it.
    return m_store.Make(row ? m_cells * cellSize : cellSize, row ? cellSize : m_cells * cellSize);
}

void TStripPicture::RenderCell(int cell, int cellSize, QRgb ground, uchar* bits, qsizetype stride) const {
    const int first = cell < 0 ? 0 : cell, last = cell < 0 ? m_cells - 1 : cell;
    for (int c = first; c <= last; ++c) {
        const QRect at = CellRect(c, cellSize);
        QImage target(bits + at.y() * stride + at.x() * 4, cellSize, cellSize, stride, QImage::Format_RGB32);
        target.fill(ground);
        if (m_texts.empty()) continue;
        QSvgRenderer* renderer = &Renderer(m_cellByCell ? static_cast<size_t>(c) : 0);
        if (!m_cellByCell) renderer->setViewBox(CellBox(c));
        QPainter p(&target);
        p.setRenderHint(QPainter::Antialiasing);
        renderer->render(&p, QRectF(0, 0, cellSize, cellSize));
    }
}

QImage TStripPicture::Render(int cellSize, QRgb ground) const {
    QImage strip;
    const Job job{this, cellSize, ground, &strip};
    RenderAll(std::span<const Job>(&job, 1));
    return strip;
}

void TStripPicture::RenderAll(std::span<const Job> jobs, const std::function<void()>& meanwhile) {
    struct Task {
        const Job* job;
        int cell; // -1: every cell of a picture read as a whole, one after the other
        uchar* bits;
        qsizetype stride;
    };
    std::vector<Task> tasks;
    for (const Job& job : jobs) {
        const TStripPicture& pic = *job.Picture;
        *job.Out = QImage(); // so that its memory can be taken again
        *job.Out = pic.NewStrip(std::max(job.CellSize, 0));
        if (job.Out->isNull()) continue;
        // Taken once, here: the workers only ever see raw pixels.
        uchar* const bits = job.Out->bits();
        const qsizetype stride = job.Out->bytesPerLine();
        if (pic.m_cellByCell || pic.m_texts.empty()) {
            for (int c = 0; c < pic.m_cells; ++c) tasks.push_back({&job, c, bits, stride});
        } else {
            tasks.push_back({&job, -1, bits, stride});
        }
    }
    // The largest cells first, so no thread is left with a big one at the end.
    const auto cost = [](const Task& t) {
        return qint64(t.job->CellSize) * t.job->CellSize * (t.cell < 0 ? t.job->Picture->m_cells : 1);
    };
    std::stable_sort(tasks.begin(), tasks.end(), [&](const Task& a, const Task& b) { return cost(a) > cost(b); });

    std::atomic<size_t> next{0};
    const auto work = [&] {
        for (size_t i; (i = next.fetch_add(1)) < tasks.size();) {
            const Task& t = tasks[i];
            t.job->Picture->RenderCell(t.cell, t.job->CellSize, t.job->Ground, t.bits, t.stride);
        }
    };
    // The workers are the threads of Qt's own pool: a painter on a thread of another kind hands
    // the spans of every large fill over to that pool and waits for them, which on a small
    // machine costs more in switching threads than the fill itself. On the pool's own threads
    // it fills them in place.
    QThreadPool* pool = QThreadPool::globalInstance();
    const auto workers = static_cast<std::ptrdiff_t>(std::clamp<size_t>(std::max(pool->maxThreadCount(), 1), 1, std::max<size_t>(tasks.size(), 1)));
    std::latch done(workers);
    for (std::ptrdiff_t w = 0; w < workers; ++w)
        pool->start([&] {
            work();
            done.count_down();
        });
    if (meanwhile) meanwhile();
    done.wait();
}
