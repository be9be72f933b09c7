// The window's staged picture copies live in a folder of the window's own below the user's
// cache ($XDG_CACHE_HOME/tavrel, by default ~/.cache/tavrel), held by a lock file while the
// window lives. Two windows never share a copy, a copy goes as soon as no slot uses it, and
// the whole folder goes when the window closes. Folders a crashed window left behind (its
// lock owned by a process that no longer runs) are removed when the next window starts.
#pragma once

#include <QLockFile>
#include <QString>
#include <QStringList>
#include <memory>

namespace tavrel {

// $XDG_CACHE_HOME/tavrel, or ~/.cache/tavrel when XDG_CACHE_HOME is unset or relative.
QString StagingRoot();

class StagingFolder {
public:
    // Removes what crashed windows left below root, then makes and locks a folder of this
    // window's own there. Path() is empty when neither can be made.
    explicit StagingFolder(const QString& root = StagingRoot());
    // Deletes every copy and the folder, and releases the lock.
    ~StagingFolder();
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    const QString& Path() const { return path_; }

    // A copy no slot uses any more: deleted now, or once the last Hold() has ended (a GIF
    // run may still be reading it).
    void Release(const QString& copy);
    // While held, released copies stay on disk; EndHold() deletes them.
    void Hold() { ++holds_; }
    // A copy written again under a released name is in use once more.
    void Claim(const QString& copy);
    void EndHold();

    // The folders of dead windows below root are deleted: only our own files (*.bmp) in our
    // own folders (window-*), and only when the lock can be taken.
    static void RemoveLeftovers(const QString& root);

private:
    QString path_;
    std::unique_ptr<QLockFile> lock_;
    int holds_ = 0;
    QStringList released_;
};

}  // namespace tavrel
