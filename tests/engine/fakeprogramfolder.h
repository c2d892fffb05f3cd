// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/types.h>

#include "engine/process/toolrunner.h"

namespace vornetta::test {

// A program folder of the test's own, with small shell scripts in place of the real tools. The engine
// uses it for as long as the object lives. Its path holds a blank and a non-ASCII letter on purpose.
class FakeProgramFolder final
{
public:
    FakeProgramFolder()
        : dir(QDir::tempPath() + QStringLiteral("/program folder é-XXXXXX"))
    {
        overrideProgramFolder(dir.path().toStdString());
    }
    ~FakeProgramFolder() { overrideProgramFolder(std::string()); }
    FakeProgramFolder(const FakeProgramFolder&) = delete;
    FakeProgramFolder& operator=(const FakeProgramFolder&) = delete;

    QString path() const { return dir.path(); }
    QString file(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }

    // Writes an executable shell script; relative is "heic/heic" or "ffmpeg".
    bool addTool(const QString& relative, const QByteArray& body) const
    {
        const QString target = file(relative);
        QDir().mkpath(QFileInfo(target).path());
        QFile script(target);
        if (!script.open(QIODevice::WriteOnly))
            return false;
        script.write("#!/bin/sh\n" + body + "\n");
        script.close();
        return script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // A decoder that copies its "tile" to the BMP path: tests write their tiles as BMP pictures.
    bool addCopyingDecoder() const
    {
        return addTool(QStringLiteral("ffmpeg"),
                       "echo \"$2\" >> \"$(dirname \"$0\")/decoded\"\ncp \"$2\" \"$3\"");
    }

    // The tiles the copying decoder was run on, one path a line.
    QStringList decodedTiles() const
    {
        QFile log(file(QStringLiteral("decoded")));
        if (!log.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private:
    QTemporaryDir dir;
};

// Processes whose parent is this test, read from /proc.
inline QList<pid_t> childProcesses()
{
    QList<pid_t> children;
    const QString self = QString::number(QCoreApplication::applicationPid());
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isNumber = false;
        const pid_t pid = entry.toInt(&isNumber);
        if (!isNumber)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields[1] == self.toLatin1())
            children.append(pid);
    }
    return children;
}

// Whether a process runs (a zombie left to the system to reap does not count).
inline bool processRuns(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.readAll();
    const QByteArray state = text.mid(text.lastIndexOf(')') + 2, 1);
    return state != "Z" && state != "X";
}

} // namespace vornetta::test
