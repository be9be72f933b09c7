#include "platform/window/staging_folder.h"

#include <signal.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSysInfo>
#include <cerrno>
#include <cstring>

namespace tavrel {

namespace {

const char* const kFolderPrefix = "window-";
const char* const kLockSuffix = ".lock";

QString LockPathOf(const QString& folder) {
    return folder + QLatin1String(kLockSuffix);
}

// Our own copies in a window's folder, and the folder itself when nothing else is left.
void RemoveStagedCopies(const QString& folder) {
    QDir dir(folder);
    const QStringList copies =
        dir.entryList({QStringLiteral("*.bmp")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : copies) {
        dir.remove(name);
    }
    QDir().rmdir(folder);  // fails, harmlessly, when anything of someone else's is inside
}

// True when the lock's owner may still be running: on this machine, a process of that number
// exists. A lock of another machine (a shared home) is never judged.
bool OwnerMayRun(const QLockFile& lock) {
    qint64 pid = 0;
    QString host;
    QString application;
    if (!lock.getLockInfo(&pid, &host, &application)) {
        return false;  // no lock file, or not one QLockFile wrote
    }
    if (!host.isEmpty() && host != QSysInfo::machineHostName()) {
        return true;
    }
    return pid > 0 && (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

}  // namespace

QString StagingRoot() {
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!QDir::isAbsolutePath(cache)) {
        const QString home = qEnvironmentVariable("HOME");
        cache = QDir::isAbsolutePath(home) ? home + QStringLiteral("/.cache") : QDir::tempPath();
    }
    return QDir::cleanPath(cache + QStringLiteral("/tavrel"));
}

void StagingFolder::RemoveLeftovers(const QString& root) {
    const QDir dir(root);
    const QStringList locks =
        dir.entryList({QLatin1String(kFolderPrefix) + u'*' + QLatin1String(kLockSuffix)},
                      QDir::Files | QDir::Hidden);
    for (const QString& lockName : locks) {
        const QString lockPath = dir.filePath(lockName);
        QLockFile lock(lockPath);
        // Only a lock whose owner is gone is stale; its age says nothing about a living window.
        lock.setStaleLockTime(0);
        if (OwnerMayRun(lock) || !lock.tryLock(0)) {
            continue;
        }
        RemoveStagedCopies(lockPath.chopped(qsizetype(std::strlen(kLockSuffix))));
        lock.unlock();
    }
}

StagingFolder::StagingFolder(const QString& root) {
    if (root.isEmpty() || !QDir().mkpath(root)) {
        return;
    }
    RemoveLeftovers(root);
    // The lock comes first: a folder without a held lock is never another window's to clear.
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString folder = root + u'/' + QLatin1String(kFolderPrefix) +
                               QString::number(QRandomGenerator::global()->generate(), 36);
        auto lock = std::make_unique<QLockFile>(LockPathOf(folder));
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0)) {
            continue;
        }
        if (QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
            path_ = folder;
            lock_ = std::move(lock);
            return;
        }
    }
}

StagingFolder::~StagingFolder() {
    if (!path_.isEmpty()) {
        RemoveStagedCopies(path_);
    }
}

void StagingFolder::Release(const QString& copy) {
    if (copy.isEmpty() || path_.isEmpty() || QFileInfo(copy).absolutePath() != path_) {
        return;
    }
    if (holds_ > 0) {
        released_ << copy;
        return;
    }
    QFile::remove(copy);
}

void StagingFolder::Claim(const QString& copy) {
    released_.removeAll(copy);
}

void StagingFolder::EndHold() {
    if (holds_ > 0 && --holds_ == 0) {
        for (const QString& copy : std::as_const(released_)) {
            QFile::remove(copy);
        }
        released_.clear();
    }
}

}  // namespace tavrel
