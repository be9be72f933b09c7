#include "platform/files.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

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
    switch (errorNumber) {
        case ENOSPC:
            return QStringLiteral("磁盘已满");
        case EFBIG:
            return QStringLiteral("文件超过了大小限制");
        case EDQUOT:
            return QStringLiteral("超出了磁盘配额");
        case EACCES:
        case EPERM:
            return QStringLiteral("没有写入权限");
        case EROFS:
            return QStringLiteral("磁盘是只读的");
        default:
            break;
    }
    // Qt's generic text says nothing; the system's own wording is better.
    if (file.error() == QFileDevice::NoError ||
        file.errorString() == QLatin1String("Unknown error")) {
        return errorNumber != 0 ? QString::fromLocal8Bit(std::strerror(errorNumber))
                                : QStringLiteral("写入未完成");
    }
    return file.errorString();
}

}  // namespace tavrel
