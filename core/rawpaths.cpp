// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/rawpaths.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

#include <QFile>
#include <QFileInfo>

#include <dirent.h>

namespace {

struct DirCloser
{
    void operator()(DIR* dir) const { closedir(dir); }
};

} // namespace

int utf8SequenceLength(const char* bytes, qsizetype available)
{
    const auto byte = [bytes](int n) { return static_cast<unsigned char>(bytes[n]); };
    if (available < 1)
        return 0;
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    // The second byte's range rules out overlong forms, surrogates and values past U+10FFFF.
    int length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xbf;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        low = lead == 0xe0 ? 0xa0 : 0x80;
        high = lead == 0xed ? 0x9f : 0xbf;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        low = lead == 0xf0 ? 0x90 : 0x80;
        high = lead == 0xf4 ? 0x8f : 0xbf;
    } else {
        return 0;
    }
    if (available < length || byte(1) < low || byte(1) > high)
        return 0;
    for (int n = 2; n < length; ++n) {
        if ((byte(n) & 0xc0) != 0x80)
            return 0;
    }
    return length;
}

namespace {

bool isValidUtf8(const QByteArray& bytes)
{
    for (qsizetype at = 0; at < bytes.size();) {
        const int length = utf8SequenceLength(bytes.constData() + at, bytes.size() - at);
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

} // namespace

bool decodesWhole(const QByteArray& path)
{
    return isValidUtf8(path) && !path.startsWith("\xef\xbb\xbf");
}

bool hasHeifSuffix(const QByteArray& name)
{
    const qsizetype dot = name.lastIndexOf('.');
    if (dot < 0)
        return false;
    const QByteArray suffix = name.mid(dot + 1).toLower();
    return suffix == "heic" || suffix == "heif" || suffix == "hif";
}

QList<QByteArray> visibleEntries(const QByteArray& folder, bool* readable)
{
    QList<QByteArray> names;
    const std::unique_ptr<DIR, DirCloser> listing(opendir(folder.constData()));
    if (readable)
        *readable = listing != nullptr;
    if (!listing)
        return names;
    while (const dirent* entry = readdir(listing.get())) {
        if (entry->d_name[0] != '.')
            names.append(QByteArray(entry->d_name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

QString fileIdentity(const QString& path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

QByteArray fileIdentity(const QByteArray& path)
{
    if (decodesWhole(path))
        return QFile::encodeName(fileIdentity(QString::fromUtf8(path)));
    const std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.constData(), nullptr),
                                                               &std::free);
    return resolved ? QByteArray(resolved.get()) : path;
}
