// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings.h"

#include <QDir>
#include <QSettings>
#include <QVariant>

void writeSetting(const QString& key, const QString& value)
{
    QSettings settings(kOrganisationName, kApplicationName);
    settings.setValue(key, QVariant(value));
}

QString readSetting(const QString& key)
{
    QSettings settings(kOrganisationName, kApplicationName);
    return settings.value(key, QString()).toString();
}

QString defaultOutputFolder()
{
    const QString home = QDir::homePath();
    QString base;
    if (QDir(home + "/Documents").exists()) {
        base = home + "/Documents/";
    } else if (QDir(home + "/My Documents").exists()) {
        base = home + "/My Documents/";
    } else {
        QDir(home).mkdir("Documents");
        base = home + "/Documents/";
    }

    const QString maker = base + kOrganisationName;
    if (!QDir(maker).exists())
        QDir(base).mkdir(kOrganisationName);
    const QString product = maker + "/" + kApplicationName;
    if (!QDir(product).exists())
        QDir(maker).mkdir(kApplicationName);
    return product;
}

QString readFolderSetting(const QString& key)
{
    const QString stored = readSetting(key);
    if (!stored.isEmpty() && QDir(stored).exists())
        return stored;
    return defaultOutputFolder();
}

int readJpgQuality()
{
    bool number = false;
    const int quality = readSetting("JpgQuality").toInt(&number);
    return number && quality >= 0 && quality <= 100 ? quality : -1;
}
