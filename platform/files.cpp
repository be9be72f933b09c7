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

namespace {
void SetReason(QString* reason, const QString& text) {
    if (reason) {
        *reason = text;
    }
}
}  // namespace

AtomicOutputFile::AtomicOutputFile() = default;

// QSaveFile removes its temporary file when it is destroyed without a commit.
AtomicOutputFile::~AtomicOutputFile() = default;

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

bool AtomicOutputFile::Open(const QString& path, QString* reason) {
    file_.reset();
    const QFileInfo info(path);
    if (path.isEmpty()) {
        SetReason(reason, QStringLiteral("没有指定文件名"));
        return false;
    }
    if (info.isDir()) {
        SetReason(reason, QStringLiteral("“%1”是一个文件夹").arg(QDir::toNativeSeparators(path)));
        return false;
    }
    if (!info.absoluteDir().exists()) {
        SetReason(
            reason,
            QStringLiteral("文件夹“%1”不存在").arg(QDir::toNativeSeparators(info.absolutePath())));
        return false;
    }
    auto file = std::make_unique<QSaveFile>(path);
    if (!file->open(QIODevice::WriteOnly)) {
        SetReason(reason, QStringLiteral("无法创建文件“%1”：%2")
                              .arg(QDir::toNativeSeparators(path), file->errorString()));
        return false;
    }
    file_ = std::move(file);
    return true;
}

void AtomicOutputFile::Write(const void* bytes, std::size_t count) {
    if (!file_ || !file_->isOpen()) {
        throw FileWriteError(QStringLiteral("输出文件没有打开").toStdString());
    }
    if (count == 0) {
        return;
    }
    errno = 0;
    const qint64 written =
        file_->write(static_cast<const char*>(bytes), static_cast<qint64>(count));
    const int writeErrno = errno;
    // Writes are buffered, so a failure may surface on a later call: check the error state too.
    if (written != static_cast<qint64>(count) || file_->error() != QFileDevice::NoError) {
        throw FileWriteError(QStringLiteral("无法写入文件“%1”：%2")
                                 .arg(QDir::toNativeSeparators(file_->fileName()),
                                      WriteFailureReason(*file_, writeErrno))
                                 .toStdString());
    }
}

bool AtomicOutputFile::Commit(QString* reason) {
    if (!file_ || !file_->isOpen()) {
        SetReason(reason, QStringLiteral("输出文件没有打开"));
        return false;
    }
    errno = 0;
    const bool ok = file_->commit();
    const int commitErrno = errno;
    if (!ok) {
        SetReason(reason, QStringLiteral("无法保存文件“%1”：%2")
                              .arg(QDir::toNativeSeparators(file_->fileName()),
                                   WriteFailureReason(*file_, commitErrno)));
    }
    file_.reset();
    return ok;
}

}  // namespace tavrel
