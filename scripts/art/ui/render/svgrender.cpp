// Renders SVG files to RGBA PNG files, many in one run so Qt starts only once.
//
// Usage: svgrender LIST
// Each line of LIST reads "input.svg output.png width height"; the picture is stretched to
// exactly width x height on a transparent ground. Lines starting with '#' are skipped.

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    // No display is needed to rasterise, and fonts still resolve through fontconfig.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: svgrender LIST\n");
        return 2;
    }
    QFile list(QString::fromLocal8Bit(argv[1]));
    if (!list.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "svgrender: cannot read %s\n", argv[1]);
        return 1;
    }
    QTextStream in(&list);
    int failures = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList f = line.split(u' ', Qt::SkipEmptyParts);
        bool okW = false, okH = false;
        const int w = f.value(2).toInt(&okW), h = f.value(3).toInt(&okH);
        if (f.size() != 4 || !okW || !okH || w <= 0 || h <= 0) {
            std::fprintf(stderr, "svgrender: bad line: %s\n", qPrintable(line));
            ++failures;
            continue;
        }
        QSvgRenderer svg(f[0]);
        if (!svg.isValid()) {
            std::fprintf(stderr, "svgrender: cannot load %s\n", qPrintable(f[0]));
            ++failures;
            continue;
        }
        QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        {
            QPainter p(&img);
            p.setRenderHint(QPainter::Antialiasing);
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            svg.render(&p, QRectF(0, 0, w, h));
        }
        if (!img.convertToFormat(QImage::Format_ARGB32).save(f[1], "PNG")) {
            std::fprintf(stderr, "svgrender: cannot write %s\n", qPrintable(f[1]));
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
