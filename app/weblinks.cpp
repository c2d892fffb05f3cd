#include "app/weblinks.h"

QString supportPageBase()
{
    return QString(kWebHost) + "/support/";
}

QString homePageBase()
{
    return QString(kWebHost) + "/vornetta/";
}

QString buildWebUrl(const QString& base, const QString& language)
{
    return base + "?id=" + "vornetta" + "&Lang=" + language + "&Platform=Win";
}
