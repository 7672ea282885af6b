// Renders the SVG artwork listed in a manifest into PNG files and writes the Qt resource list
// that compiles them into the program. Usage: trivane-artc <manifest> <svg dir> <output dir>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

#include <cstdio>

namespace {

struct Entry {
    QString id;
    QString kind;
    int width = 0;
    int height = 0;
    QString source;
    double rotation = 0.0;
};

QImage Render(const QString& svgPath, const Entry& e) {
    QSvgRenderer renderer(svgPath);
    if (!renderer.isValid()) return {};
    QImage image(e.width, e.height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    if (e.rotation != 0.0) {
        painter.translate(e.width / 2.0, e.height / 2.0);
        painter.rotate(e.rotation);
        painter.translate(-e.width / 2.0, -e.height / 2.0);
    }
    renderer.render(&painter, QRectF(0, 0, e.width, e.height));
    painter.end();
    return image;
}

// Pixels mostly covered keep their colour, the rest become the magenta key: blending into
// magenta would leave a pink fringe that the key does not remove.
QImage ApplyMagentaKey(const QImage& rendered) {
    QImage src = rendered.convertToFormat(QImage::Format_ARGB32);
    QImage out(src.size(), QImage::Format_RGB888);
    for (int y = 0; y < src.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        for (int x = 0; x < src.width(); ++x) {
            const QRgb px = line[x];
            out.setPixel(x, y, qAlpha(px) >= 128 ? qRgb(qRed(px), qGreen(px), qBlue(px))
                                                 : qRgb(255, 0, 255));
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: trivane-artc <manifest> <svg dir> <output dir>\n");
        return 2;
    }
    const QString manifestPath = QString::fromLocal8Bit(argv[1]);
    const QDir svgDir(QString::fromLocal8Bit(argv[2]));
    const QDir outDir(QString::fromLocal8Bit(argv[3]));
    QFile manifest(manifestPath);
    if (!manifest.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    outDir.mkpath(QStringLiteral("png"));
    outDir.mkpath(QStringLiteral("bmp"));

    QString qrc = QStringLiteral("<RCC>\n  <qresource prefix=\"/\">\n");
    int failures = 0;
    QTextStream in(&manifest);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        const QStringList f = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (f.size() < 5) {
            std::fprintf(stderr, "bad manifest line: %s\n", qPrintable(line));
            ++failures;
            continue;
        }
        Entry e{f[0], f[1], f[2].toInt(), f[3].toInt(), f[4], f.size() > 5 ? f[5].toDouble() : 0.0};
        QImage image = Render(svgDir.filePath(e.source), e);
        if (image.isNull()) {
            std::fprintf(stderr, "cannot render %s\n", qPrintable(e.source));
            ++failures;
            continue;
        }
        QString folder = QStringLiteral("png");
        if (e.kind == QLatin1String("png")) {
            image = image.convertToFormat(QImage::Format_ARGB32);
        } else if (e.kind == QLatin1String("png-rgb")) {
            image = image.convertToFormat(QImage::Format_RGB888);
        } else if (e.kind == QLatin1String("bmp")) {
            folder = QStringLiteral("bmp");
            image = image.convertToFormat(QImage::Format_RGB888);
        } else if (e.kind == QLatin1String("bmp-alpha")) {
            folder = QStringLiteral("bmp");
            image = image.convertToFormat(QImage::Format_ARGB32);
        } else if (e.kind == QLatin1String("bmp-key")) {
            folder = QStringLiteral("bmp");
            image = ApplyMagentaKey(image);
        } else {
            std::fprintf(stderr, "unknown kind %s\n", qPrintable(e.kind));
            ++failures;
            continue;
        }
        const QString rel = folder + QLatin1Char('/') + e.id + QStringLiteral(".png");
        if (!image.save(outDir.filePath(rel), "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(rel));
            ++failures;
            continue;
        }
        qrc += QStringLiteral("    <file>") + rel + QStringLiteral("</file>\n");
    }
    qrc += QStringLiteral("  </qresource>\n</RCC>\n");
    if (failures != 0) return 1;
    QFile out(outDir.filePath(QStringLiteral("art.qrc")));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 1;
    out.write(qrc.toUtf8());
    return 0;
}
