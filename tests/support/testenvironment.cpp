// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QtGlobal>

namespace vornetta::test {

namespace {

QString makeFolder(const QString& path)
{
    QDir().mkpath(path);
    return path;
}

} // namespace

IsolatedEnvironment::IsolatedEnvironment()
{
    qputenv("HOME", makeFolder(rootDir.path() + "/home").toUtf8());
    qputenv("XDG_CONFIG_HOME", makeFolder(rootDir.path() + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", makeFolder(rootDir.path() + "/data").toUtf8());
    qputenv("XDG_CACHE_HOME", makeFolder(rootDir.path() + "/cache").toUtf8());
    // Programs a test starts speak English, whatever the machine's language.
    qputenv("LANGUAGE", "en");
    qputenv("TMPDIR", makeFolder(rootDir.path() + "/tmp").toUtf8());
    // Owner-only, as the system makes it; vornetta keeps its one-window socket there.
    const QString runtime = makeFolder(rootDir.path() + "/runtime");
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
}

void useOffscreenScreen(const IsolatedEnvironment& environment, const QRect& screen)
{
    if (screen.isEmpty() || qgetenv("QT_QPA_PLATFORM") != "offscreen")
        return;
    QFile config(environment.root() + "/screen.json");
    if (!config.open(QIODevice::WriteOnly))
        return;
    config.write(QString(R"({"screens": [{"name": "test", "x": %1, "y": %2, "width": %3, "height": %4}]})")
                     .arg(screen.x())
                     .arg(screen.y())
                     .arg(screen.width())
                     .arg(screen.height())
                     .toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config.fileName()));
}

QString programFolder()
{
    return qEnvironmentVariable("VORNETTA_PROGRAM_DIR");
}

QString samplesFolder()
{
    const QString folder = qEnvironmentVariable("VORNETTA_SAMPLES_DIR");
    return !folder.isEmpty() && QDir(folder).exists() ? QDir(folder).absolutePath() : QString();
}

QString sourceFolder()
{
    return qEnvironmentVariable("VORNETTA_SOURCE_DIR");
}

} // namespace vornetta::test
