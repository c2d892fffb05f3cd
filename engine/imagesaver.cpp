#include "engine/imagesaver.h"

#include <QImageWriter>
#include <QSaveFile>

namespace {

bool fail(QString* reason, const QString& text)
{
    if (reason)
        *reason = text;
    return false;
}

} // namespace

bool saveImageReplacing(const QImage& image, const QString& path, const QByteArray& format,
                        const StopCheck& stop, QString* reason, int quality)
{
    QSaveFile file(path);
    // Never write straight into the final name, even where a temporary file cannot be made.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return fail(reason, QStringLiteral("cannot write to the output folder"));
    QImageWriter writer(&file, format);
    if (!writer.canWrite()) {
        file.cancelWriting();
        return fail(reason, QStringLiteral("cannot write %1 files").arg(QString::fromLatin1(format)));
    }
    writer.setQuality(quality);
    if (!writer.write(image)) {
        file.cancelWriting();
        return fail(reason, QStringLiteral("cannot write to the output folder"));
    }
    if (stop && stop()) {
        file.cancelWriting();
        return fail(reason, QStringLiteral("stopped"));
    }
    if (!file.commit())
        return fail(reason, QStringLiteral("cannot write to the output folder"));
    return true;
}
