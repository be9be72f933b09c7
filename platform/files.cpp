#include "platform/files.h"

#include <QDir>
#include <QFileInfo>

#include "platform/output_target.h"
#include "platform/result.h"

namespace tavrel {

bool FolderExists(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

bool CreateFolder(const QString& path) {
    return !path.isEmpty() && QDir().mkdir(path);
}

QString CurrentDirectory() {
    return QDir::currentPath();
}

QString WriteFailureReason(const QFileDevice& file, int errorNumber) {
    // Qt's own text is often a bare "Unknown error"; the system's cause says more.
    if (errorNumber != 0) {
        return ReasonForErrno(errorNumber);
    }
    return file.error() != QFileDevice::NoError ? file.errorString()
                                                : Tr("the write did not complete");
}

}  // namespace tavrel
