// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/filerules.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sys/stat.h>

namespace {

// The longest file name most file systems take, in bytes.
constexpr int kLongestFileName = 255;

// text cut to at most bytes bytes of UTF-8, at a character boundary.
QString shortened(const QString& text, int bytes)
{
    QByteArray encoded = QFile::encodeName(text);
    if (encoded.size() <= bytes)
        return text;
    qsizetype end = std::max(bytes, 0);
    // Continuation bytes (10xxxxxx) belong to the character before them.
    while (end > 0 && (static_cast<unsigned char>(encoded[end]) & 0xc0) == 0x80)
        --end;
    encoded.truncate(end);
    return QFile::decodeName(encoded);
}

bool entryExists(const QString& path)
{
    struct stat info
    {};
    return lstat(QFile::encodeName(path).constData(), &info) == 0;
}

} // namespace

bool isAcceptedHeicPath(const QString& path)
{
    const QFileInfo info(path);
    return info.suffix().toLower() == "heic" && info.exists();
}

OutputNames::OutputNames(const QString& folder, const QString& source, const QString& format, int image)
    : outputFolder(folder)
    , base(QFileInfo(source).baseName())
    , suffix(format)
    , image(image)
{}

OutputNames OutputNames::from(const QString& path, const QString& source)
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    // The picture's number and the name's count, when there are any, tell which of source's names it is.
    static const QRegularExpression numbered(
        QStringLiteral("(?:-(\\d{1,9}))?(?:\\((\\d{1,9})\\))?\\.[^.]*$"));
    const QRegularExpressionMatch match = numbered.match(name);
    const int picture = match.captured(1).isEmpty() ? 1 : match.captured(1).toInt();
    const int count = match.captured(2).isEmpty() ? -1 : match.captured(2).toInt();
    for (const int candidate : {1, picture}) {
        for (const int first : {-1, count}) {
            OutputNames names(info.path(), source, info.suffix(), candidate);
            names.firstNumber = first;
            if (names.fileName(0) == name)
                return names;
        }
    }
    // A name of the caller's own: that name first, then its base numbered.
    OutputNames names(info.path(), source, info.suffix());
    names.base = info.completeBaseName();
    return names;
}

QString OutputNames::fileName(int n) const
{
    const int number = firstNumber + n;
    const QString ending = (image > 1 ? QStringLiteral("-%1").arg(image) : QString()) +
                           (number < 0 ? QString() : QStringLiteral("(%1)").arg(number)) +
                           (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
    return shortened(base, kLongestFileName - static_cast<int>(QFile::encodeName(ending).size())) + ending;
}

QString freeOutputName(const QString& folder, const QString& source, const QString& format,
                       const std::function<bool(const QString&)>& alsoTaken, int image)
{
    const OutputNames names(folder, source, format, image);
    int n = 0;
    while (entryExists(names.path(n)) || (alsoTaken && alsoTaken(names.path(n))))
        ++n;
    return names.path(n);
}
