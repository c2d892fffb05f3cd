// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

namespace vornetta::test {

// Catches the URLs the program hands to the desktop (QDesktopServices::setUrlHandler), so no browser or
// file manager ever starts.
class UrlCatcher final : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.append(url); }
};

} // namespace vornetta::test
