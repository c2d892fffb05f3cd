// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The files room (engine/files/): the work folder and its locks, the removal of a folder tree, descriptors
// and the checked device that writes through one, the small files the tools leave, read whole, the look at a
// source file before anything is run on it, and the output file that takes its name only when complete, with
// the sweep of what killed runs left in an output folder. It works with the file system alone (the C library,
// Qt Core) and uses no other room.

#include <memory>

#include <QDir>
#include <QString>

#include "engine/stepresult.h"

class QLockFile;
class WorkFolderLock;

// The conversion's work folder, TEMP/Brembloc/Vornetta/thumb. All three folders must be real folders
// (not links) of the current user; they are kept owner-only. When TEMP/Brembloc belongs to another user
// (anyone can make it in a shared /tmp), TEMP/Brembloc-UID takes its place; when another user has taken
// that name too, a fresh folder TEMP/Brembloc-UID-XXXXXX (mkdtemp) does, for this holder alone: it is
// locked while the holder lives and goes with it, and those that runs killed outright left behind go when
// a later run comes to the same pass. While a run uses thumb it
// holds the lock TEMP/Brembloc/Vornetta/thumb.lock; a run that finds that lock held by another live
// process works in TEMP/Brembloc/Vornetta/thumb-PID instead (thumb-PID-2, -3 and so on for further
// conversions running at once in the same process), which goes when the run ends and is locked while the
// run lives. A holder made always private goes straight to thumb-PID, so that a second
// program never takes the shared folder from the window. Preparing also removes the thumb-PID folders
// that runs killed outright left behind.
class WorkFolder final
{
public:
    explicit WorkFolder(bool alwaysPrivate = false);
    ~WorkFolder(); // releases the lock, removes a private folder
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    // Empty until prepared, and when the preparation failed.
    QString path() const { return folder; }
    bool isPrivate() const { return privateFolder; }

private:
    friend Result<QString> prepareWorkFolder(WorkFolder& holder, const QString& tempFolder);

    QString folder;
    bool privateFolder = false;
    const bool alwaysPrivate;
    int privateSlot = 0; // which of this process's private folders it holds, from 1; 0 for none
    std::unique_ptr<QLockFile> lock;
    std::unique_ptr<WorkFolderLock> privateLock;
    QString freshFolder; // TEMP/Brembloc-UID-XXXXXX when both names were taken, else empty
    std::unique_ptr<WorkFolderLock> freshLock;
};

// Creates and empties the work folder below tempFolder and returns its path (forward slashes, no
// trailing separator), or a few words on why it cannot be used safely. The folder stays locked for as long
// as holder lives.
Result<QString> prepareWorkFolder(WorkFolder& holder, const QString& tempFolder = QDir::tempPath());

// Removes the window's work folder below tempFolder, thumb with everything in it, so that no decoded photo
// outlives the window. Nothing is created; a folder that a run holds right now, a link or a folder of
// another user stays. Whether nothing is left of it.
bool removeSharedWorkFolder(const QString& tempFolder = QDir::tempPath());
