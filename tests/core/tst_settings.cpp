// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QUrl>

#include "core/settings.h"
#include "core/weblinks.h"
#include "gui/webpages.h"
#include "mainwindow/heicmainwidget.h"
#include "tests/support/testmain.h"
#include "tests/support/urlcatcher.h"

class SettingsTest final : public QObject
{
    Q_OBJECT

private:
    QString home;
    vornetta::test::UrlCatcher catcher;

    void resetHome()
    {
        QDir(home).removeRecursively();
        QDir().mkpath(home);
        QSettings(kOrganisationName, kApplicationName).clear();
    }

private slots:
    void initTestCase()
    {
        home = QDir::homePath();
        QVERIFY(home.startsWith(QDir::tempPath().section('/', 0, -2)) || !home.isEmpty());
        QDesktopServices::setUrlHandler("http", &catcher, "open");
        QDesktopServices::setUrlHandler("https", &catcher, "open");
        QDesktopServices::setUrlHandler("file", &catcher, "open");
    }
    void init()
    {
        resetHome();
        catcher.urls.clear();
    }

    void defaultFolderPrefersDocuments_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Documents") << QStringList{"Documents"} << "/Documents/Brembloc/Vornetta";
        QTest::newRow("My Documents only")
            << QStringList{"My Documents"} << "/My Documents/Brembloc/Vornetta";
        QTest::newRow("both") << QStringList{"Documents", "My Documents"} << "/Documents/Brembloc/Vornetta";
        QTest::newRow("neither") << QStringList{} << "/Documents/Brembloc/Vornetta";
    }
    void defaultFolderPrefersDocuments()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, expected);
        for (const QString& folder : existing)
            QVERIFY(QDir(home).mkdir(folder));

        const QString folder = readFolderSetting("SaveVideoPath");
        QCOMPARE(folder, home + expected);
        QVERIFY(QFileInfo(folder).isDir());
    }

    void storedFolderIsReturnedUnchanged()
    {
        const QString stored = home + "/pictures out/été";
        QVERIFY(QDir().mkpath(stored));
        writeSetting("SaveVideoPath", stored);

        QCOMPARE(readFolderSetting("SaveVideoPath"), stored);
        QVERIFY(!QFileInfo::exists(home + "/Documents"));
    }

    void emptyOrVanishedFolderFallsBackToDefault_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::newRow("empty") << QString("");
        QTest::newRow("vanished") << QString("/nonexistent/folder/for/vornetta");
    }
    void emptyOrVanishedFolderFallsBackToDefault()
    {
        QFETCH(QString, stored);
        writeSetting("addVideoPath", stored);
        QCOMPARE(readFolderSetting("addVideoPath"), home + "/Documents/Brembloc/Vornetta");
        QCOMPARE(readSetting("addVideoPath"), stored); // the store keeps the old value
    }

    void settingsLiveInTheUsersConfigFolder()
    {
        writeSetting("SaveVideoPath", "/x");
        QSettings settings(kOrganisationName, kApplicationName);
        settings.sync();
        QCOMPARE(QFileInfo(settings.fileName()).fileName(), QString("Vornetta.conf"));
        QVERIFY(settings.fileName().startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")));
    }

    void webUrlsCarryTheProductQuery_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "http://example.org/support/"
                               << "http://example.org/support/?id=vornetta&Lang=EN&Platform=Win";
        QTest::newRow("with query") << "http://example.org/a?b=1"
                                    << "http://example.org/a?b=1?id=vornetta&Lang=EN&Platform=Win";
    }
    void webUrlsCarryTheProductQuery()
    {
        QFETCH(QString, base);
        QFETCH(QString, expected);
        HEICMainWidget window;
        QCOMPARE(buildWebUrl(base), expected);
        QCOMPARE(buildWebUrl(base, "EN"), expected);
    }

    void webPagesAndFoldersOpenOnTheDesktop()
    {
        HEICMainWidget window;
        openWebPage(homePageBase());
        const QString folder = home + "/out \"quoted\" & blank";
        openFolderInFileManager(folder);

        QCOMPARE(catcher.urls.size(), 2);
        QCOMPARE(catcher.urls[0].toString(),
                 QString(kWebHost) + "/vornetta/?id=vornetta&Lang=EN&Platform=Win");
        QCOMPARE(catcher.urls[1].toLocalFile(), folder);
    }

    void accentedPathsSurviveTheEnginesByteForm()
    {
        const QString path = QString::fromUtf8("/tmp/Ÿ dossier été/日本 photo.heic");
        const QByteArray bytes = path.toUtf8();
        QCOMPARE(bytes.size(), path.toUtf8().size());
        QCOMPARE(QString::fromUtf8(bytes.constData()), path);
        QCOMPARE(QString(bytes), path); // 8-bit text is UTF-8 throughout
    }
};

VORNETTA_TEST_MAIN(SettingsTest)
#include "tst_settings.moc"
