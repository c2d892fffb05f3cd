// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/singleinstance.h"

#include <cerrno>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QLockFile>
#include <QTimer>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Bounds on what a connection may send, so that no process of ours can stall or swell the window.
constexpr qint64 kMostMessageBytes = 1 << 20;
constexpr int kReadDeadlineMs = 2000;
// A later start waits this long in all for the window's answer, and so ends within 2 s.
constexpr int kHandOverMs = 1500;
constexpr int kLockWaitMs = 2000;

// A message: the header, then each absolute path followed by a NUL, then one more NUL. The window answers
// kAnswer once it has them.
const QByteArray kHeader = QByteArrayLiteral("vornetta-open 1\n");
const QByteArray kAnswer = QByteArrayLiteral("ok\n");

QByteArray userName()
{
    return "vornetta-" + QByteArray::number(geteuid());
}

// A real folder (not a link) of this user that nobody else may enter.
bool isPrivateFolderOfOurs(const QByteArray& path)
{
    struct stat info
    {};
    return lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid() &&
           (info.st_mode & 077) == 0;
}

QByteArray privateFolder()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (runtime.startsWith('/') && isPrivateFolderOfOurs(runtime))
        return runtime;
    const QByteArray own = QFile::encodeName(QDir::tempPath()) + '/' + userName();
    if (mkdir(own.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    return isPrivateFolderOfOurs(own) ? own : QByteArray();
}

bool isSocketOfOurs(const QByteArray& path)
{
    struct stat info
    {};
    return lstat(path.constData(), &info) == 0 && S_ISSOCK(info.st_mode) && info.st_uid == geteuid();
}

bool peerIsThisUser(qintptr descriptor)
{
    struct ucred peer
    {};
    socklen_t size = sizeof peer;
    return getsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
           peer.uid == geteuid();
}

void drop(QLocalSocket* connection)
{
    connection->abort();
    connection->deleteLater();
}

enum class Parsed { Incomplete, Complete, Invalid };

Parsed parseMessage(const QByteArray& message, QList<QByteArray>* files)
{
    if (!message.startsWith(kHeader))
        return kHeader.startsWith(message) ? Parsed::Incomplete : Parsed::Invalid;
    files->clear();
    qsizetype from = kHeader.size();
    for (;;) {
        const qsizetype end = message.indexOf('\0', from);
        if (end < 0)
            return from == message.size() || message.at(from) == '/' ? Parsed::Incomplete : Parsed::Invalid;
        // The empty entry ends the list, and nothing may follow it.
        if (end == from)
            return end + 1 == message.size() ? Parsed::Complete : Parsed::Invalid;
        if (message.at(from) != '/')
            return Parsed::Invalid;
        files->append(message.mid(from, end - from));
        from = end + 1;
    }
}

} // namespace

SingleInstance::SingleInstance(QObject* parent)
    : QObject(parent)
{
    connect(&server, &QLocalServer::newConnection, this, &SingleInstance::accept);
}

QString SingleInstance::socketPath()
{
    const QByteArray folder = privateFolder();
    return folder.isEmpty() ? QString() : QFile::decodeName(folder + '/' + userName());
}

SingleInstance::Role SingleInstance::start(const QList<QByteArray>& files)
{
    const QString path = socketPath();
    if (path.isEmpty())
        return Role::Window;
    // Two starts at once: the second waits until the first listens, then hands over to it.
    QLockFile lock(path + QStringLiteral(".lock"));
    lock.tryLock(kLockWaitMs);

    QLocalSocket socket;
    socket.connectToServer(path);
    if (socket.waitForConnected(kHandOverMs)) {
        QByteArray message = kHeader;
        for (const QByteArray& file : files)
            message += file + '\0';
        message += '\0';
        const QDeadlineTimer deadline(kHandOverMs);
        socket.write(message);
        while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(deadline.remainingTime())) {
        }
        while (socket.bytesAvailable() < kAnswer.size() &&
               socket.waitForReadyRead(deadline.remainingTime())) {
        }
        return socket.read(kAnswer.size()) == kAnswer ? Role::HandedOver : Role::NoAnswer;
    }
    // Nobody listens. A socket left by a window that was killed goes; anything else there stays, and then
    // this window runs without taking later starts.
    const QByteArray name = QFile::encodeName(path);
    if (socket.error() == QLocalSocket::ConnectionRefusedError && isSocketOfOurs(name))
        unlink(name.constData());
    if (!server.listen(path))
        qWarning("vornetta: cannot listen on %s: %s", name.constData(), qPrintable(server.errorString()));
    return Role::Window;
}

void SingleInstance::accept()
{
    while (QLocalSocket* connection = server.nextPendingConnection()) {
        connect(connection, &QLocalSocket::disconnected, connection, &QObject::deleteLater);
        if (!peerIsThisUser(connection->socketDescriptor())) {
            drop(connection);
            continue;
        }
        // Qt stops reading once this much waits, so a flood never fills the memory.
        connection->setReadBufferSize(kMostMessageBytes + 1);
        QTimer::singleShot(kReadDeadlineMs, connection, [connection] { drop(connection); });
        connect(connection, &QLocalSocket::readyRead, this, [this, connection] { read(connection); });
        read(connection);
    }
}

void SingleInstance::read(QLocalSocket* connection)
{
    const QByteArray message = connection->peek(connection->bytesAvailable());
    QList<QByteArray> files;
    const Parsed parsed =
        message.size() > kMostMessageBytes ? Parsed::Invalid : parseMessage(message, &files);
    if (parsed == Parsed::Incomplete)
        return;
    if (parsed == Parsed::Invalid) {
        drop(connection);
        return;
    }
    connection->readAll();
    connection->write(kAnswer);
    connection->flush();
    connection->disconnectFromServer();
    emit filesHandedOver(files);
}
