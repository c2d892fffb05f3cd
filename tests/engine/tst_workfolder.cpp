// SPDX-License-Identifier: GPL-3.0-or-later
#include <atomic>
#include <cstdio>
#include <thread>

#include <QCoreApplication>
#include <QDirIterator>
#include <QLockFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/files/foldertree.h"
#include "engine/files/workfolder.h"
#include "tests/support/files.h"
#include "tests/support/testmain.h"

using vornetta::test::writeFile;

namespace {

mode_t modeOf(const QString& path)
{
    struct stat info
    {};
    if (lstat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return info.st_mode & 07777;
}

bool isLink(const QString& path)
{
    return QFileInfo(path).isSymLink();
}

// Every entry below root with its mode, and each file's bytes: what "left intact" is checked against.
QMap<QString, QByteArray> treeContents(const QString& root)
{
    QMap<QString, QByteArray> contents;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        const QByteArray bytes =
            !it.fileInfo().isDir() && file.open(QIODevice::ReadOnly) ? file.readAll() : "";
        contents.insert(path, QByteArray::number(modeOf(path), 8) + ':' + bytes);
    }
    return contents;
}

// Folders d0..d<count-1> below root, each a chain <depth> folders deep, with two files in each folder.
bool makeTree(const QString& root, int count, int depth)
{
    for (int i = 0; i < count; ++i) {
        QString path = root + "/d" + QString::number(i);
        for (int level = 0; level < depth; ++level, path += "/l") {
            if (!QDir().mkpath(path) || !writeFile(path + "/f", path.toUtf8()) || !writeFile(path + "/g"))
                return false;
        }
    }
    return true;
}

// The PID of a process that has ended and been reaped.
qint64 deadPid()
{
    QProcess process;
    process.start("true", QStringList());
    const qint64 pid = process.waitForStarted() ? process.processId() : 0;
    process.waitForFinished();
    return pid;
}

// Holds an exclusive lock on a folder, as a running conversion does on its private folder.
class FolderLock final
{
public:
    explicit FolderLock(const QString& folder)
        : fd(open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {}
    ~FolderLock()
    {
        if (fd >= 0)
            close(fd);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    bool tryLock() const { return fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0; }

private:
    const int fd;
};

// Lowers this process's descriptor limit to what is open now plus `spare`, for as long as it lives.
class DescriptorLimit final
{
public:
    explicit DescriptorLimit(rlim_t spare)
    {
        getrlimit(RLIMIT_NOFILE, &saved);
        rlimit lowered = saved;
        lowered.rlim_cur =
            rlim_t(QDir("/proc/self/fd").entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size()) + spare;
        setrlimit(RLIMIT_NOFILE, &lowered);
    }
    ~DescriptorLimit() { setrlimit(RLIMIT_NOFILE, &saved); }
    DescriptorLimit(const DescriptorLimit&) = delete;
    DescriptorLimit& operator=(const DescriptorLimit&) = delete;

private:
    rlimit saved{};
};

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
            QCOMPARE(prepareWorkFolder(holder, temp->path() + "/").value, thumb());
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
        QVERIFY(QDir().mkpath(thumb() + "/d0/sealed/inside"));
        QVERIFY(QFile::setPermissions(thumb() + "/d0/sealed", QFile::Permissions()));
        QVERIFY(QFile::link(outside(), thumb() + "/link to folder"));
        QVERIFY(QFile::link(outside() + "/precious", thumb() + "/d0/link to file"));
        QVERIFY(QFile::link(temp->path() + "/nowhere", thumb() + "/broken link"));

        WorkFolder holder;
        QCOMPARE(prepareWorkFolder(holder, temp->path()).value, thumb());
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
        const Result<QString> prepared = prepareWorkFolder(holder, temp->path());
        QCOMPARE(prepared.value, QString());
        QCOMPARE(prepared.status.reason, QString("the work folder is a link"));
        QVERIFY(isLink(path));
        QCOMPARE(modeOf(outside()), before);
    }

    void refusesAFolderOfAnotherUser_data()
    {
        QTest::addColumn<QString>("linked");
        QTest::newRow("Vornetta") << "/Brembloc/Vornetta";
        QTest::newRow("thumb") << "/Brembloc/Vornetta/thumb";
    }
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
        const Result<QString> prepared = prepareWorkFolder(holder, temp->path());
        QCOMPARE(prepared.value, QString());
        QCOMPARE(prepared.status.reason, QString("the work folder belongs to another user"));
        QVERIFY(QFile::exists(path + "/theirs"));
    }

    // Anyone may make TEMP/Brembloc in a shared temporary folder; the other user's thing stays untouched.
    void anotherUsersBremblocGivesAFolderOfOurOwn_data()
    {
        QTest::addColumn<QString>("planted");
        QTest::addColumn<bool>("ownTakenToo");
        QTest::newRow("their folder") << "folder" << false;
        QTest::newRow("their link") << "link" << false;
        QTest::newRow("their file") << "file" << false;
        QTest::newRow("our name taken as well") << "folder" << true;
    }
    void anotherUsersBremblocGivesAFolderOfOurOwn()
    {
        if (geteuid() != 0)
            QSKIP("needs root to give a folder to another user");
        QFETCH(QString, planted);
        QFETCH(bool, ownTakenToo);
        const QByteArray theirs = QFile::encodeName(temp->path() + "/Brembloc");
        if (planted == "folder")
            QVERIFY(QDir().mkpath(theirs + "/Vornetta"));
        else if (planted == "link")
            QVERIFY(QFile::link(outside(), theirs));
        else
            QVERIFY(writeFile(theirs));
        QCOMPARE(lchown(theirs.constData(), 65534, 65534), 0);
        const QString own = temp->path() + "/Brembloc-" + QString::number(geteuid());
        // Fresh folders of two earlier runs that found both names taken: one killed outright, one living.
        const QString killedRun = own + "-killed";
        const QString liveRun = own + "-living";
        if (ownTakenToo) {
            QVERIFY(QDir().mkpath(own));
            QCOMPARE(chown(QFile::encodeName(own).constData(), 65534, 65534), 0);
            for (const QString& fresh : {killedRun, liveRun}) {
                QVERIFY(QDir().mkpath(fresh + "/Vornetta/thumb"));
                const timespec minutesAgo[2] = {{0, UTIME_OMIT}, {time(nullptr) - 120, 0}};
                QCOMPARE(chmod(QFile::encodeName(fresh).constData(), 0700), 0);
                QCOMPARE(utimensat(AT_FDCWD, QFile::encodeName(fresh).constData(), minutesAgo, 0), 0);
            }
        }
        const FolderLock live(liveRun);
        QVERIFY(!ownTakenToo || live.tryLock());
        auto before = treeContents(temp->path());
        before.removeIf([&](const auto& entry) { return entry.key().startsWith(killedRun); });
        QString fresh = own;
        {
            WorkFolder holder;
            const QString path = prepareWorkFolder(holder, temp->path()).value;
            if (ownTakenToo) {
                // A folder of this run's own, made afresh, owner-only and locked while the run lives.
                fresh = path.section('/', 0, -3);
                QVERIFY2(QRegularExpression("^" + QRegularExpression::escape(own) + "-\\w{6}$")
                             .match(fresh)
                             .hasMatch(),
                         qPrintable(path));
                QVERIFY(fresh != liveRun);
                QVERIFY(!FolderLock(fresh).tryLock());
            }
            QCOMPARE(path, fresh + "/Vornetta/thumb");
            QCOMPARE(modeOf(fresh), mode_t(0700));
        }
        if (!ownTakenToo)
            QVERIFY(removeFolderTree(own));
        QVERIFY(!QFileInfo::exists(fresh));
        QVERIFY(treeContents(temp->path()) == before);
    }

    // A run killed outright leaves its private folder; the next preparation takes it away, and only it.
    void abandonedPrivateFoldersGo_data()
    {
        QTest::addColumn<QString>("name"); // PID stands for a process that has ended
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("holder");
        QTest::addColumn<bool>("removed");
        QTest::newRow("killed run") << "thumb-PID"
                                    << "folder" << 0700 << "" << true;
        QTest::newRow("killed run, its second conversion") << "thumb-PID-2"
                                                           << "folder" << 0700 << "" << true;
        QTest::newRow("numbered in another way") << "thumb-PID-1"
                                                 << "folder" << 0700 << "" << false;
        QTest::newRow("live process") << "thumb-1"
                                      << "folder" << 0700 << "" << false;
        QTest::newRow("not owner-only") << "thumb-PID"
                                        << "folder" << 0755 << "" << false;
        QTest::newRow("link") << "thumb-PID"
                              << "link" << 0700 << "" << false;
        QTest::newRow("file") << "thumb-PID"
                              << "file" << 0700 << "" << false;
        QTest::newRow("another name") << "thumb-PID.old"
                                      << "folder" << 0700 << "" << false;
        QTest::newRow("another user's") << "thumb-PID"
                                        << "folder" << 0700 << "another user" << false;
        // A live run whose PID this process cannot see, as from another PID namespace sharing TEMP.
        QTest::newRow("locked by a run") << "thumb-PID"
                                         << "folder" << 0700 << "locked" << false;
    }
    void abandonedPrivateFoldersGo()
    {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(int, mode);
        QFETCH(QString, holder);
        QFETCH(bool, removed);
        const qint64 pid = deadPid();
        QVERIFY(pid > 0);
        const QString path = vornetta() + "/" + QString(name).replace("PID", QString::number(pid));
        QVERIFY(QDir().mkpath(vornetta()));
        if (kind == "folder") {
            QVERIFY(QDir().mkpath(path + "/hevc"));
            QVERIFY(writeFile(path + "/hevc/tile"));
        } else if (kind == "link") {
            QVERIFY(QFile::link(outside(), path));
        } else {
            QVERIFY(writeFile(path));
        }
        QVERIFY(kind == "link" || chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0);
        if (holder == "another user") {
            if (geteuid() != 0)
                QSKIP("needs root to give a folder to another user");
            QCOMPARE(chown(QFile::encodeName(path).constData(), 65534, 65534), 0);
        }
        const FolderLock run(path);
        QVERIFY(holder != "locked" || run.tryLock());

        WorkFolder work;
        QCOMPARE(prepareWorkFolder(work, temp->path()).value, thumb());
        QCOMPARE(QFileInfo::exists(path) || isLink(path), !removed);
    }

    void aLockHeldByAnotherRunGivesAPrivateFolder()
    {
        {
            WorkFolder first;
            QVERIFY(!prepareWorkFolder(first, temp->path()).value.isEmpty());
        }
        QVERIFY(writeFile(thumb() + "/the other run's tile"));
        QLockFile otherRun(vornetta() + "/thumb.lock");
        QVERIFY(otherRun.tryLock(0));
        const QString own = thumb() + "-" + QString::number(QCoreApplication::applicationPid());
        QVERIFY(QDir().mkpath(own + "/left by a crash"));

        {
            WorkFolder holder;
            QCOMPARE(prepareWorkFolder(holder, temp->path()).value, own);
            QVERIFY(holder.isPrivate());
            QVERIFY(QDir(own).isEmpty());
            QCOMPARE(modeOf(own), mode_t(0700));
            QVERIFY(writeFile(own + "/bmp.bmp"));
            QVERIFY2(!FolderLock(own).tryLock(), "a live run's private folder is locked");
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
            QCOMPARE(prepareWorkFolder(holder, temp->path()).value, own);
            QVERIFY(holder.isPrivate());
            QCOMPARE(modeOf(own), mode_t(0700));
            QLockFile window(vornetta() + "/thumb.lock");
            QVERIFY(window.tryLock(0));
            // A second conversion of this process at the same time gets a folder of its own.
            WorkFolder second(true);
            QCOMPARE(prepareWorkFolder(second, temp->path()).value, own + "-2");
            QVERIFY(QDir(own).exists());
        }
        QVERIFY(!QFileInfo::exists(own));
        QVERIFY(!QFileInfo::exists(own + "-2"));
        QCOMPARE(QDir(thumb()).entryList(QDir::Files), QStringList{"the window's tile"});
    }

    // Our PID's folder locked by a live run: one in another PID namespace sharing TEMP, or a folder of
    // a killed run with our PID that another preparation is removing.
    void aPrivateFolderLockedByAnotherRunIsLeftAlone()
    {
        const QString own = thumb() + "-" + QString::number(QCoreApplication::applicationPid());
        QVERIFY(QDir().mkpath(own));
        QVERIFY(writeFile(own + "/their tile"));
        const FolderLock otherRun(own);
        QVERIFY(otherRun.tryLock());

        WorkFolder holder(true);
        const Result<QString> prepared = prepareWorkFolder(holder, temp->path());
        QCOMPARE(prepared.value, QString());
        QCOMPARE(prepared.status.reason, QString("cannot lock the work folder"));
        QVERIFY(QFile::exists(own + "/their tile"));
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

        // However deep the tree, the walk holds only a few descriptors at a time.
        QVERIFY(makeTree(temp->path() + "/deep", 2, 300));
        {
            const DescriptorLimit limit(24);
            QVERIFY(removeFolderTree(temp->path() + "/deep"));
        }
        QVERIFY(!QFileInfo::exists(temp->path() + "/deep"));
    }

    // Another process of ours swaps a sub-folder for a link to outside and back while the tree goes.
    void removalStaysInsideWhileFoldersTurnIntoLinks_data()
    {
        QTest::addColumn<int>("depth");
        QTest::newRow("shallow") << 1;
        QTest::newRow("deeper than the folders held open") << 24;
    }
    void removalStaysInsideWhileFoldersTurnIntoLinks()
    {
        QFETCH(int, depth);
        // Outside holds the names the tree holds, so a walk that strays through the link finds work.
        QVERIFY(makeTree(outside(), 6, depth));
        const auto intact = treeContents(outside());
        const QString tree = temp->path() + "/tree";
        const QByteArray sub = QFile::encodeName(tree + "/sub");
        const QByteArray spare = QFile::encodeName(temp->path() + "/spare");

        int rounds = 0;
        int swaps = 0;
        for (; rounds < 50; ++rounds) {
            QVERIFY(makeTree(tree + "/sub", 6, depth));
            QVERIFY(QFile::link(outside(), spare));
            if (rounds == 0 && renameat2(AT_FDCWD, sub, AT_FDCWD, spare, RENAME_EXCHANGE) != 0)
                QSKIP("the file system cannot exchange two names");
            std::atomic<bool> stop{false};
            std::atomic<int> roundSwaps{0};
            std::thread swapper([&] {
                while (!stop) {
                    if (renameat2(AT_FDCWD, sub, AT_FDCWD, spare, RENAME_EXCHANGE) == 0)
                        ++roundSwaps;
                }
            });
            // Under way before the walk starts, or a short walk may end before the swapper ever runs.
            while (roundSwaps < 2)
                std::this_thread::yield();
            removeFolderTree(tree); // fails whenever it meets the link, which is fine
            stop = true;
            swapper.join();
            swaps += roundSwaps;
            QVERIFY2(treeContents(outside()) == intact, qPrintable(QString("round %1").arg(rounds + 1)));
            for (const QString& left : {tree, QFile::decodeName(spare)}) {
                if (QFileInfo::exists(left) || isLink(left))
                    QVERIFY(removeFolderTree(left));
            }
        }
        QVERIFY2(swaps > rounds, qPrintable(QString("%1 swaps in %2 rounds").arg(swaps).arg(rounds)));
    }
};

VORNETTA_TEST_MAIN(WorkFolderTest)
#include "tst_workfolder.moc"
