// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QLocalServer>
#include <QObject>
#include <QString>

class QLocalSocket;

// One window per user session. The first vornetta listens on a local socket named after the user, in
// XDG_RUNTIME_DIR (or TEMP/vornetta-UID, a folder of ours made owner-only, when that is missing or not
// private); a later start hands its files to it and ends. The server answers only this user's processes,
// reads at most 1 MiB within 2 s from each, and ignores whatever is not a list of absolute paths.
class SingleInstance final : public QObject
{
    Q_OBJECT

public:
    enum class Role {
        Window,     // no window ran: this process shows it (listening when the socket could be made)
        HandedOver, // the running window took the files: this process ends
        NoAnswer,   // a window runs but did not answer in time
    };

    explicit SingleInstance(QObject* parent = nullptr);

    // Hands files (absolute paths, as the system's bytes) to the window running in this session, or
    // listens for later starts when there is none. A socket left by a window that was killed is taken over.
    Role start(const QList<QByteArray>& files);

    // The socket's path, or empty when no private folder could be had.
    static QString socketPath();

signals:
    // A later start handed these files over; none when it was started without any.
    void filesHandedOver(const QList<QByteArray>& files);

private:
    void accept();
    void read(QLocalSocket* connection);

    QLocalServer server;
};
