#include "tests/support/heicfixtures.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include <QFileInfo>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "tests/support/testenvironment.h"

namespace vornetta::test {

namespace {

// Runs a tool to its end (at most two minutes); returns an empty string or what went wrong.
QString runTool(const QString& program, const QStringList& arguments)
{
    if (program.isEmpty()) {
        return "tool not found";
    }
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForStarted(10000)) {
        return QString("%1 did not start: %2").arg(program, process.errorString());
    }
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return QString("%1 did not finish in time").arg(program);
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        return QString("%1 failed (%2): %3")
            .arg(program)
            .arg(process.exitCode())
            .arg(QString::fromLocal8Bit(process.readAllStandardError()).trimmed());
    }
    return QString();
}

} // namespace

QString ffmpegPath()
{
    // The system's ffmpeg, never the program folder's: that one may be our tile decoder, which does
    // nothing but decode a tile to BMP.
    const QString system = "/usr/bin/ffmpeg";
    return QFileInfo(system).isExecutable() ? system : QStandardPaths::findExecutable("ffmpeg");
}

QImage drawTestPicture(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    if (picture.isNull()) {
        return picture;
    }
    // Gradients that differ everywhere, so a tile in the wrong place shows. Their colours are muted and the
    // shapes are grey: 4:2:0 coding halves the colour resolution, and the fixtures must survive it.
    for (int y = 0; y < height; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int red = 70 + 110 * x / qMax(1, width - 1);
            const int green = 70 + 110 * y / qMax(1, height - 1);
            const int blue = 90 + (70 * ((x + 2 * y) % 512)) / 511;
            line[x] = qRgb(red, green, blue);
        }
    }
    // Sharp shapes, placed relative to the size; no anti-aliasing keeps the pixels exact everywhere.
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(235, 235, 235));
    painter.drawRect(width / 10, height / 8, width / 5, height / 6);
    painter.setBrush(QColor(30, 30, 30));
    painter.drawEllipse(QPoint(width * 2 / 3, height / 2), width / 8 + 1, height / 7 + 1);
    painter.setBrush(QColor(128, 128, 128));
    painter.drawRect(width / 3, height * 2 / 3, width / 4, height / 5);
    painter.setPen(QPen(QColor(245, 245, 245), 4));
    for (int i = 0; i < 6; ++i) {
        painter.drawLine(i * width / 6, 0, width - 1, height - 1 - i * height / 6);
    }
    return picture;
}

QString encodeHevc(const QImage& picture, QByteArray* annexB)
{
    QTemporaryDir folder;
    if (!folder.isValid()) {
        return "no temporary folder";
    }
    const QString input = folder.filePath("in.png");
    const QString output = folder.filePath("out.hevc");
    if (!picture.save(input, "PNG")) {
        return "cannot save the picture as PNG";
    }
    const QString failure =
        runTool(ffmpegPath(),
                {"-v", "error", "-nostdin", "-y", "-i", input, "-frames:v", "1", "-c:v", "libx265",
                 "-pix_fmt", "yuv420p", "-x265-params", "log-level=error:lossless=1", "-f", "hevc", output});
    if (!failure.isEmpty()) {
        return failure;
    }
    QFile file(output);
    if (!file.open(QIODevice::ReadOnly)) {
        return "ffmpeg wrote no stream";
    }
    *annexB = file.readAll();
    return annexB->isEmpty() ? "ffmpeg wrote an empty stream" : QString();
}

QString buildGridHeif(const QImage& picture, int tileWidth, int tileHeight, heif::File* file)
{
    if (picture.isNull() || tileWidth < 1 || tileHeight < 1) {
        return "no picture or no tile size";
    }
    const int cols = (picture.width() + tileWidth - 1) / tileWidth;
    const int rows = (picture.height() + tileHeight - 1) / tileHeight;
    if (rows > 256 || cols > 256) {
        return "more than 256 tile rows or columns";
    }
    *file = heif::File();
    heif::Item grid;
    grid.id = 1;
    grid.type = "grid";
    grid.data = heif::gridData(rows, cols, quint32(picture.width()), quint32(picture.height()));
    grid.properties = {3};
    file->items.append(grid);
    heif::Reference tiles;
    tiles.from = 1;

    const QImage source = picture.convertToFormat(QImage::Format_RGB32);
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < cols; ++col) {
            // Edge tiles are padded by repeating the last column and row, as cameras do.
            QImage tile(tileWidth, tileHeight, QImage::Format_RGB32);
            for (int y = 0; y < tileHeight; ++y) {
                const int sy = qMin(row * tileHeight + y, source.height() - 1);
                const QRgb* from = reinterpret_cast<const QRgb*>(source.constScanLine(sy));
                QRgb* to = reinterpret_cast<QRgb*>(tile.scanLine(y));
                for (int x = 0; x < tileWidth; ++x) {
                    to[x] = from[qMin(col * tileWidth + x, source.width() - 1)];
                }
            }
            QByteArray stream;
            const QString failure = encodeHevc(tile, &stream);
            if (!failure.isEmpty()) {
                return failure;
            }
            if (file->properties.isEmpty()) {
                file->properties = {heif::hvcCProperty(stream),
                                    heif::ispeProperty(quint32(tileWidth), quint32(tileHeight)),
                                    heif::ispeProperty(quint32(picture.width()), quint32(picture.height()))};
            }
            heif::Item item;
            item.id = quint32(file->items.size() + 1);
            item.data = heif::codedData(stream);
            item.hidden = true;
            item.properties = {1, 2};
            item.essential = {1};
            file->items.append(item);
            tiles.to.append(item.id);
        }
    }
    file->references = {tiles};
    file->primary = 1;
    return QString();
}

QString writeGridHeic(const QImage& picture, int tileWidth, int tileHeight, const QString& path)
{
    heif::File file;
    const QString failure = buildGridHeif(picture, tileWidth, tileHeight, &file);
    return failure.isEmpty() ? heif::writeFile(file.build(), path) : failure;
}

QString writeSingleHeic(const QImage& picture, const QString& path)
{
    QTemporaryDir folder;
    if (!folder.isValid()) {
        return "no temporary folder";
    }
    const QString input = folder.filePath("in.png");
    if (!picture.save(input, "PNG")) {
        return "cannot save the picture as PNG";
    }
    return runTool(QStandardPaths::findExecutable("heif-enc"), {"-q", "90", "-o", path, input});
}

QImage decodeWithFfmpeg(const QString& path, QString* error)
{
    QTemporaryDir folder;
    const QString output = folder.filePath("out.png");
    QString failure = folder.isValid() ? QString() : "no temporary folder";
    if (failure.isEmpty()) {
        failure =
            runTool(ffmpegPath(), {"-v", "error", "-nostdin", "-y", "-i", path, "-frames:v", "1", output});
    }
    QImage picture;
    if (failure.isEmpty() && !picture.load(output)) {
        failure = "ffmpeg wrote no picture";
    }
    if (error) {
        *error = failure;
    }
    return failure.isEmpty() ? picture.convertToFormat(QImage::Format_RGB32) : QImage();
}

double psnr(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.isNull()) {
        return 0;
    }
    const QImage first = a.convertToFormat(QImage::Format_RGB32);
    const QImage second = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int y = 0; y < first.height(); ++y) {
        const QRgb* p = reinterpret_cast<const QRgb*>(first.constScanLine(y));
        const QRgb* q = reinterpret_cast<const QRgb*>(second.constScanLine(y));
        for (int x = 0; x < first.width(); ++x) {
            const int dr = qRed(p[x]) - qRed(q[x]);
            const int dg = qGreen(p[x]) - qGreen(q[x]);
            const int db = qBlue(p[x]) - qBlue(q[x]);
            sum += dr * dr + dg * dg + db * db;
        }
    }
    if (sum == 0) {
        return std::numeric_limits<double>::infinity();
    }
    const double mse = sum / (3.0 * first.width() * first.height());
    return 10.0 * std::log10(255.0 * 255.0 / mse);
}

int largestChannelDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.isNull())
        return -1;
    const QImage first = a.convertToFormat(QImage::Format_RGB32);
    const QImage second = b.convertToFormat(QImage::Format_RGB32);
    int largest = 0;
    for (int y = 0; y < first.height(); ++y) {
        const QRgb* p = reinterpret_cast<const QRgb*>(first.constScanLine(y));
        const QRgb* q = reinterpret_cast<const QRgb*>(second.constScanLine(y));
        for (int x = 0; x < first.width(); ++x)
            largest = std::max({largest, std::abs(qRed(p[x]) - qRed(q[x])),
                                std::abs(qGreen(p[x]) - qGreen(q[x])), std::abs(qBlue(p[x]) - qBlue(q[x]))});
    }
    return largest;
}

} // namespace vornetta::test
