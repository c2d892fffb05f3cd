// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QTemporaryDir>

namespace vornetta::test {

// Points HOME, XDG_CONFIG_HOME and TMPDIR at fresh folders below one temporary folder, removed when
// the object goes. Make it before QApplication: Qt reads some of these once.
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

// The build's program folder (the one holding vornetta, heic/heic and ffmpeg).
QString programFolder();

// The real HEIC samples, or an empty string when that folder is absent.
QString samplesFolder();

// The source tree's root.
QString sourceFolder();

} // namespace vornetta::test
