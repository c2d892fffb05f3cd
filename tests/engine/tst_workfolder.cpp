#include <QCoreApplication>
#include <QLockFile>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

#include "engine/workfolder.h"
#include "tests/support/testmain.h"

namespace {

mode_t modeOf(const QString& path)
{
    struct stat info
    {};
    if (lstat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return info.st_mode & 07777;
}

bool writeFile(const QString& path, const QByteArray& content = "data")
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

bool isLink(const QString& path)
{
    return QFileInfo(path).isSymLink();
}

} // namespace

class WorkFolderTest final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> temp;
    QString vornetta() const { return temp->path() + "/Brembloc/Vornetta"; }
    QString thumb() const { return vornetta() + "/thumb"; }
    // Something outside the work folder that must survive everything the engine does.
    QString outside() const { return temp->path() + "/outside"; }

private slots:
    void init()
    {
        temp = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir().mkpath(outside()));
        QVERIFY(writeFile(outside() + "/precious", "keep me"));
    }
    void cleanup()
    {
        QCOMPARE(QDir(outside()).entryList(QDir::Files), QStringList{"precious"});
        temp.reset();
    }

    void preparesAnEmptyOwnerOnlyFolderAndLocksIt()
    {
        QVERIFY(QDir().mkpath(temp->path() + "/Brembloc"));
        QVERIFY(QFile::setPermissions(temp->path() + "/Brembloc", QFileDevice::Permissions(0x7755)));
        {
            WorkFolder holder;
            QCOMPARE(prepareWorkFolder(holder, temp->path() + "/"), thumb());
            QCOMPARE(holder.path(), thumb());
            QVERIFY(!holder.isPrivate());
            QVERIFY(QDir(thumb()).isEmpty());
            for (const QString& folder : {temp->path() + "/Brembloc", vornetta(), thumb()})
                QCOMPARE(modeOf(folder), mode_t(0700));

            QLockFile other(vornetta() + "/thumb.lock");
            QVERIFY(!other.tryLock(0));
        }
        QLockFile after(vornetta() + "/thumb.lock");
        QVERIFY(after.tryLock(0));
        QVERIFY(QFileInfo::exists(thumb())); // the shared folder stays for the next run
    }

    void emptiesWhatAnEarlierRunLeftWithoutFollowingLinks()
    {
        QString deep = thumb();
        for (int i = 0; i < 60; ++i)
            deep += "/d" + QString::number(i);
        QVERIFY(QDir().mkpath(deep));
        QVERIFY(writeFile(deep + "/tile"));
        QVERIFY(writeFile(thumb() + "/.hidden"));
        QVERIFY(writeFile(thumb() + "/read-only"));
        QVERIFY(QFile::setPermissions(thumb() + "/read-only", QFile::ReadOwner));
        QVERIFY(QDir().mkpath(thumb() + "/closed"));
        QVERIFY(writeFile(thumb() + "/closed/inside"));
        QVERIFY(QFile::setPermissions(thumb() + "/closed", QFile::ReadOwner | QFile::ExeOwner));
        QVERIFY(QFile::link(outside(), thumb() + "/link to folder"));
        QVERIFY(QFile::link(outside() + "/precious", thumb() + "/d0/link to file"));
        QVERIFY(QFile::link(temp->path() + "/nowhere", thumb() + "/broken link"));

        WorkFolder holder;
        QCOMPARE(prepareWorkFolder(holder, temp->path()), thumb());
        QVERIFY(QDir(thumb()).isEmpty());
    }

    void refusesALinkedFolder_data()
    {
        QTest::addColumn<QString>("linked");
        QTest::newRow("Brembloc") << "/Brembloc";
        QTest::newRow("Vornetta") << "/Brembloc/Vornetta";
        QTest::newRow("thumb") << "/Brembloc/Vornetta/thumb";
    }
    void refusesALinkedFolder()
    {
        QFETCH(QString, linked);
        const QString path = temp->path() + linked;
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QVERIFY(QFile::link(outside(), path));
        const mode_t before = modeOf(outside());

        WorkFolder holder;
        QCOMPARE(prepareWorkFolder(holder, temp->path()), QString());
        QCOMPARE(holder.failureReason(), QString("the work folder is a link"));
        QVERIFY(isLink(path));
        QCOMPARE(modeOf(outside()), before);
    }

    void refusesAFolderOfAnotherUser_data() { refusesALinkedFolder_data(); }
    void refusesAFolderOfAnotherUser()
    {
        if (geteuid() != 0)
            QSKIP("needs root to give a folder to another user");
        QFETCH(QString, linked);
        const QString path = temp->path() + linked;
        QVERIFY(QDir().mkpath(path));
        QVERIFY(writeFile(path + "/theirs"));
        QVERIFY(chown(QFile::encodeName(path).constData(), 65534, 65534) == 0);

        WorkFolder holder;
        QCOMPARE(prepareWorkFolder(holder, temp->path()), QString());
        QCOMPARE(holder.failureReason(), QString("the work folder belongs to another user"));
        QVERIFY(QFile::exists(path + "/theirs"));
    }

    void aLockHeldByAnotherRunGivesAPrivateFolder()
    {
        {
            WorkFolder first;
            QVERIFY(!prepareWorkFolder(first, temp->path()).isEmpty());
        }
        QVERIFY(writeFile(thumb() + "/the other run's tile"));
        QLockFile otherRun(vornetta() + "/thumb.lock");
        QVERIFY(otherRun.tryLock(0));
        const QString own = thumb() + "-" + QString::number(QCoreApplication::applicationPid());
        QVERIFY(QDir().mkpath(own + "/left by a crash"));

        {
            WorkFolder holder;
            QCOMPARE(prepareWorkFolder(holder, temp->path()), own);
            QVERIFY(holder.isPrivate());
            QVERIFY(QDir(own).isEmpty());
            QCOMPARE(modeOf(own), mode_t(0700));
            QVERIFY(writeFile(own + "/bmp.bmp"));
        }
        QVERIFY(!QFileInfo::exists(own));
        QVERIFY(QFile::exists(thumb() + "/the other run's tile"));
    }

    void anAlwaysPrivateHolderLeavesTheSharedFolderAndItsLockAlone()
    {
        QVERIFY(QDir().mkpath(thumb()));
        QVERIFY(writeFile(thumb() + "/the window's tile"));
        const QString own = thumb() + "-" + QString::number(QCoreApplication::applicationPid());
        {
            WorkFolder holder(true);
            QCOMPARE(prepareWorkFolder(holder, temp->path()), own);
            QVERIFY(holder.isPrivate());
            QCOMPARE(modeOf(own), mode_t(0700));
            QLockFile window(vornetta() + "/thumb.lock");
            QVERIFY(window.tryLock(0));
        }
        QVERIFY(!QFileInfo::exists(own));
        QCOMPARE(QDir(thumb()).entryList(QDir::Files), QStringList{"the window's tile"});
    }

    void removeFolderTreeRemovesLinksAsLinks()
    {
        const QString link = temp->path() + "/link";
        QVERIFY(QFile::link(outside(), link));
        QVERIFY(removeFolderTree(link));
        QVERIFY(!isLink(link));

        QVERIFY(!removeFolderTree(temp->path() + "/missing"));
        QVERIFY(!removeFolderTree(outside() + "/precious"));

        QVERIFY(QDir().mkpath(temp->path() + "/tree/a/b"));
        QVERIFY(writeFile(temp->path() + "/tree/a/b/c"));
        QVERIFY(removeFolderTree(temp->path() + "/tree"));
        QVERIFY(!QFileInfo::exists(temp->path() + "/tree"));
    }
};

VORNETTA_TEST_MAIN(WorkFolderTest)
#include "tst_workfolder.moc"
