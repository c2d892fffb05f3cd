#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMovie>

#include "gui/startup.h"
#include "tests/support/testmain.h"

class StartupTest final : public QObject
{
    Q_OBJECT

private slots:
    void missingFontsAreSkipped()
    {
        const QFont before = QGuiApplication::font();
        loadApplicationFonts(QDir::tempPath() + "/no-such-folder");
        QCOMPARE(QGuiApplication::font(), before);
    }

    void latoRegularAloneBecomesTheApplicationFont()
    {
        const QString folder = QDir::tempPath() + "/only-lato";
        QVERIFY(QDir().mkpath(folder + "/font"));
        QVERIFY(QFile::copy(vornetta::test::programFolder() + "/font/Lato-Regular.ttf",
                            folder + "/font/Lato-Regular.ttf"));

        loadApplicationFonts(folder);
        QCOMPARE(QGuiApplication::font().family(), QString("Lato"));
        QCOMPARE(QGuiApplication::font().pointSize(), 10);
    }

    void shippedFontsAreRegistered()
    {
        loadApplicationFonts(vornetta::test::programFolder());
        const QStringList families = QFontDatabase::families();
        QVERIFY(families.contains("Lato"));
        QVERIFY(families.contains("Liberation Sans"));
        QVERIFY(QFontDatabase::isSmoothlyScalable("Lato", "Bold"));
        QCOMPARE(QGuiApplication::font().family(), QString("Lato"));
    }

    void imagesAreCompiledIn_data()
    {
        QTest::addColumn<QString>("resource");
        QTest::addColumn<QSize>("size");
        QTest::newRow("arrowDown") << ":/images/arrowDown.png" << QSize(14, 7);
        QTest::newRow("minclose") << ":/images/minclose.png" << QSize(82, 60);
        QTest::newRow("program") << ":/images/program.png" << QSize(256, 256);
        QTest::newRow("arrowtest") << ":/images/arrowtest.png" << QSize(2, 30);
        QTest::newRow("small_loadimg2") << ":/images/small_loadimg2.gif" << QSize(20, 20);
        QTest::newRow("small_loadimg") << ":/images/small_loadimg.gif" << QSize();
    }
    void imagesAreCompiledIn()
    {
        QFETCH(QString, resource);
        QFETCH(QSize, size);
        const QImage image(resource);
        QVERIFY2(!image.isNull(), qPrintable(resource));
        if (size.isValid())
            QCOMPARE(image.size(), size);
    }

    void loadingAnimationIsAnimated()
    {
        QMovie movie(":/images/small_loadimg2.gif");
        QVERIFY(movie.isValid());
        QVERIFY(movie.frameCount() > 1);
    }
};

VORNETTA_TEST_MAIN(StartupTest)
#include "tst_startup.moc"
