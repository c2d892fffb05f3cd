// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/weblinks.h"

namespace {

QString& updateHostOverride()
{
    static QString host;
    return host;
}

} // namespace

QString supportPageBase()
{
    return QString(kWebHost) + "/support/";
}

QString homePageBase()
{
    return QString(kWebHost) + "/vornetta/";
}

QString updateCheckBase()
{
    const QString& host = updateHostOverride();
    return (host.isEmpty() ? QString(kUpdateHost) : host) + "/download/checkupates.php";
}

void overrideUpdateHost(const QString& host)
{
    updateHostOverride() = host;
}

QString buildWebUrl(const QString& base, const QString& language)
{
    return base + "?id=" + "vornetta" + "&Lang=" + language + "&Platform=Win";
}
