#include "platform/installed_data.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

// Set by the build: the data folder relative to each folder a program is installed in.
#ifndef TAVREL_DATA_FROM_BINDIR
#define TAVREL_DATA_FROM_BINDIR "../share/tavrel"
#endif
#ifndef TAVREL_DATA_FROM_PKGLIBDIR
#define TAVREL_DATA_FROM_PKGLIBDIR "../../share/tavrel"
#endif

namespace tavrel {

QString InstalledDataFolder() {
    // applicationDirPath resolves symbolic links, so a link on PATH leads to the real tree.
    const QString programFolder = QCoreApplication::applicationDirPath();
    for (const char* relative : {TAVREL_DATA_FROM_BINDIR, TAVREL_DATA_FROM_PKGLIBDIR}) {
        QString folder = QDir::cleanPath(programFolder + u'/' + QString::fromUtf8(relative));
        // The background picture is installed with every copy; a build tree has none there.
        if (QFileInfo::exists(folder + QStringLiteral("/back.bmp"))) {
            return folder;
        }
    }
    return {};
}

}  // namespace tavrel
