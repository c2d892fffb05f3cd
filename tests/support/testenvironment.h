// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QString>
#include <QTemporaryDir>

namespace vornetta::test {

// Points HOME, XDG_CONFIG_HOME, XDG_RUNTIME_DIR and TMPDIR at fresh folders below one temporary folder,
// removed when the object goes. Make it before QApplication: Qt reads some of these once.
class IsolatedEnvironment final
{
public:
    IsolatedEnvironment();
    IsolatedEnvironment(const IsolatedEnvironment&) = delete;
    IsolatedEnvironment& operator=(const IsolatedEnvironment&) = delete;

    QString root() const { return rootDir.path(); }

private:
    QTemporaryDir rootDir;
};

// Under the offscreen platform, gives the processes started from here on one screen of that geometry at
// 96 DPI; an empty geometry keeps the platform's own.
void useOffscreenScreen(const IsolatedEnvironment& environment, const QRect& screen);

// The build's program folder (the one holding vornetta, heic/heic and ffmpeg).
QString programFolder();

// The real HEIC samples, or an empty string when that folder is absent.
QString samplesFolder();

// The source tree's root.
QString sourceFolder();

} // namespace vornetta::test
