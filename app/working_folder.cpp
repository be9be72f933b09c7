#include "app/working_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

#include "platform/installed_data.h"

namespace tavrel {

namespace {
// The installed data files a working folder needs; translations stay where they are.
const char* const kSeededFiles[] = {"back.bmp", "simpleK.smf"};
}  // namespace

QString UserWorkingFolder() {
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (QDir::isAbsolutePath(dataHome)) {
        return QDir::cleanPath(dataHome + QStringLiteral("/tavrel"));
    }
    // A relative HOME would make the folder depend on where the program starts; a HOME that
    // does not exist is not made.
    const QString home = qEnvironmentVariable("HOME");
    if (!QDir::isAbsolutePath(home) || !QFileInfo(home).isDir()) {
        return {};
    }
    return QDir::cleanPath(home + QStringLiteral("/.local/share/tavrel"));
}

bool PrepareWorkingFolder(const QString& folder, const QString& installedData) {
    const QString resources = folder + QStringLiteral("/Resources/Tavrel");
    if (folder.isEmpty() || !QDir().mkpath(resources)) {
        return false;
    }
    for (const char* name : kSeededFiles) {
        const QString target = resources + u'/' + QString::fromLatin1(name);
        if (!QFileInfo::exists(target)) {
            QFile::copy(installedData + u'/' + QString::fromLatin1(name), target);
            // Installed files are read-only; the user's copies are theirs to change.
            QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner);
        }
    }
    return true;
}

QString EnterWorkingFolder() {
    const QString installedData = InstalledDataFolder();
    if (installedData.isEmpty()) {
        return {};
    }
    QString folder = UserWorkingFolder();
    if (folder.isEmpty()) {
        std::fprintf(stderr,
                     "Tavrel: no working folder: HOME is not an existing absolute folder and "
                     "XDG_DATA_HOME is not set; staying in '%s'\n",
                     qPrintable(QDir::currentPath()));
        return {};
    }
    if (!PrepareWorkingFolder(folder, installedData) || !QDir::setCurrent(folder)) {
        std::fprintf(stderr, "Tavrel: cannot use the working folder '%s'; staying in '%s'\n",
                     qPrintable(folder), qPrintable(QDir::currentPath()));
        return {};
    }
    return folder;
}

}  // namespace tavrel
