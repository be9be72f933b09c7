#include "platform/output_target.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QRandomGenerator>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/file_names.h"
#include "platform/stop_signals.h"

namespace tavrel {
namespace {

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The input that is the file `output` (through any name), or null.
const QString* InputThatIs(const struct stat& output, const QStringList& inputs) {
    for (const QString& input : inputs) {
        struct stat st {};
        if (stat(FileNameToBytes(input).constData(), &st) == 0 && SameFile(st, output)) {
            return &input;
        }
    }
    return nullptr;
}

QString IsAnInput(const QString& input) {
    return Tr("is the picture %1 itself; it is left as it is").arg(ShownFileName(input));
}

// The file a symbolic link leads to, so that the link stays and its target is replaced.
QString ResolvedPath(const QString& path) {
    char resolved[PATH_MAX];
    if (realpath(FileNameToBytes(path).constData(), resolved) == nullptr) {
        return path;
    }
    return FileNameFromBytes(QByteArrayView(resolved));
}

constexpr std::size_t kBufferSize = 64 * 1024;

}  // namespace

QString ReasonForErrno(int errorNumber) {
    switch (errorNumber) {
        case ENOSPC:
            return Tr("the disk is full");
        case EFBIG:
            return Tr("the file would exceed the file size limit");
        case EDQUOT:
            return Tr("the disk quota is exceeded");
        case EACCES:
        case EPERM:
            return Tr("permission denied");
        case EROFS:
            return Tr("the disk is read-only");
        case ENOENT:
            return Tr("no such file or folder");
        case ENOTDIR:
            return Tr("a folder in the path is not a folder");
        case EPIPE:
            return Tr("the reading end was closed");
        case ENAMETOOLONG:
            return Tr("the name is too long");
        default:
            return QString::fromLocal8Bit(std::strerror(errorNumber));
    }
}

namespace {

// Kept out of the member functions so that every text of this file has the one
// translation context "tavrel".
QString CannotOpen(int errorNumber) {
    return Tr("cannot be opened: %1").arg(ReasonForErrno(errorNumber));
}

QString FolderMissing(const QByteArray& folder) {
    return Tr("its folder %1 does not exist").arg(ShownFileName(FileNameFromBytes(folder)));
}

}  // namespace

Result<OutputTarget> ChooseOutputTarget(const QString& path, const QStringList& inputs) {
    if (path.isEmpty()) {
        return Failure{Tr("no output file given")};
    }
    if (path == QLatin1String(kStandardOutputName)) {
        struct stat st {};
        if (fstat(STDOUT_FILENO, &st) != 0) {
            return Failure{Tr("standard output is closed")};
        }
        if (isatty(STDOUT_FILENO) == 1) {
            return Failure{
                Tr("standard output is a terminal; send it to a file or a "
                   "pipe (tavrel-gif -o - ... > OUT.gif)")};
        }
        if (const QString* input = S_ISREG(st.st_mode) ? InputThatIs(st, inputs) : nullptr) {
            return Failure{IsAnInput(*input)};
        }
        return OutputTarget{OutputKind::StandardOutput, path};
    }

    const QByteArray name = FileNameToBytes(path);
    struct stat link {};
    if (lstat(name.constData(), &link) != 0) {
        if (errno == ENOENT) {
            return OutputTarget{OutputKind::ReplaceFile, path};  // new; Open checks its folder
        }
        return Failure{ReasonForErrno(errno)};
    }
    struct stat st {};
    if (stat(name.constData(), &st) != 0) {
        return Failure{Tr("is a symbolic link to a missing file")};
    }
    if (S_ISDIR(st.st_mode)) {
        return Failure{Tr("is a folder")};
    }
    if (S_ISREG(st.st_mode)) {
        if (const QString* input = InputThatIs(st, inputs)) {
            return Failure{IsAnInput(*input)};
        }
        // The rename would replace a file the user may not write; cp refuses it, so do we.
        if (faccessat(AT_FDCWD, name.constData(), W_OK, AT_EACCESS) != 0) {
            return Failure{CannotOpen(errno)};
        }
        return OutputTarget{OutputKind::ReplaceFile,
                            S_ISLNK(link.st_mode) ? ResolvedPath(path) : path};
    }
    if (S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode)) {
        return OutputTarget{OutputKind::WriteInto, path};
    }
    return Failure{Tr("is a block device or a socket, not a file; it is not written")};
}

namespace {

// The name an open descriptor is reached by, for linkat.
QByteArray DescriptorPath(int fd) {
    return "/proc/self/fd/" + QByteArray::number(fd);
}

// A file with no name in folder (O_TMPFILE), or -1 where the file system or /proc lacks what
// naming it later takes.
int OpenAnonymousFile(const QByteArray& folder) {
    const int fd = open(folder.constData(), O_WRONLY | O_TMPFILE | O_CLOEXEC, 0666);
    if (fd >= 0 && access(DescriptorPath(fd).constData(), F_OK) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// A hidden name beside the target, so that the rename stays within one file system.
QByteArray TemporaryName(const QByteArray& prefix) {
    return prefix + QByteArray::number(QRandomGenerator::global()->generate(), 36);
}

}  // namespace

struct TargetOutputFile::State {
    OutputKind kind = OutputKind::ReplaceFile;
    int fd = -1;
    QByteArray finalName;
    QByteArray temporaryPrefix;
    QByteArray temporaryName;  // ReplaceFile until committed; empty while the file has no name
    int stopTicket = -1;
    std::vector<char> buffer;

    // Gives the complete file without a name a temporary one beside the target: 0 or errno.
    int NameAnonymousFile() {
        for (int attempt = 0; attempt < 100; ++attempt) {
            const QByteArray name = TemporaryName(temporaryPrefix);
            // Registered before it exists, so that a stop signal can never miss it.
            stopTicket = RemoveOnStop(name.constData());
            if (linkat(AT_FDCWD, DescriptorPath(fd).constData(), AT_FDCWD, name.constData(),
                       AT_SYMLINK_FOLLOW) == 0) {
                temporaryName = name;
                return 0;
            }
            const int error = errno;
            KeepOnStop(stopTicket);
            stopTicket = -1;
            if (error != EEXIST) {
                return error;
            }
        }
        return EEXIST;
    }

    void Flush() {
        std::size_t done = 0;
        while (done < buffer.size()) {
            const ssize_t n = ::write(fd, buffer.data() + done, buffer.size() - done);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                const int error = n < 0 ? errno : EIO;
                throw FileWriteError(
                    Tr("cannot be written: %1").arg(ReasonForErrno(error)).toStdString());
            }
            done += static_cast<std::size_t>(n);
        }
        buffer.clear();
    }

    void Discard() {
        if (fd >= 0 && kind != OutputKind::StandardOutput) {
            close(fd);
        }
        fd = -1;
        if (!temporaryName.isEmpty()) {
            unlink(temporaryName.constData());
            temporaryName.clear();
        }
        KeepOnStop(stopTicket);
        stopTicket = -1;
    }
};

TargetOutputFile::TargetOutputFile() = default;

TargetOutputFile::~TargetOutputFile() {
    if (state_) {
        state_->Discard();
    }
}

Result<Done> TargetOutputFile::Open(const OutputTarget& target) {
    if (state_) {
        state_->Discard();
    }
    auto state = std::make_unique<State>();
    state->kind = target.kind;
    state->finalName = FileNameToBytes(target.path);
    state->buffer.reserve(kBufferSize);
    switch (target.kind) {
        case OutputKind::StandardOutput:
            state->fd = STDOUT_FILENO;
            break;
        case OutputKind::WriteInto:
            // A FIFO waits here for its reader, as it would for cp.
            state->fd = open(state->finalName.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
            if (state->fd < 0) {
                return Failure{CannotOpen(errno)};
            }
            break;
        case OutputKind::ReplaceFile: {
            const qsizetype slash = state->finalName.lastIndexOf('/');
            const QByteArray folder = slash < 0    ? QByteArray(".")
                                      : slash == 0 ? QByteArray("/")
                                                   : state->finalName.left(slash);
            struct stat folderStat {};
            if (stat(folder.constData(), &folderStat) != 0 || !S_ISDIR(folderStat.st_mode)) {
                return Failure{FolderMissing(folder)};
            }
            state->temporaryPrefix = state->finalName.left(slash + 1) + '.' +
                                     state->finalName.mid(slash + 1).left(200) + ".tavrel-";
            // No name until the file is complete, so that a run ended in any way (SIGKILL, an
            // abort) leaves nothing behind; a named temporary file where that is not possible.
            state->fd = OpenAnonymousFile(folder);
            for (int attempt = 0; attempt < 100 && state->fd < 0; ++attempt) {
                const QByteArray name = TemporaryName(state->temporaryPrefix);
                // Registered before it exists, so that a stop signal can never miss it.
                state->stopTicket = RemoveOnStop(name.constData());
                state->fd = open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
                if (state->fd >= 0) {
                    state->temporaryName = name;
                    break;
                }
                const int error = errno;
                KeepOnStop(state->stopTicket);
                state->stopTicket = -1;
                if (error != EEXIST) {
                    return Failure{Tr("cannot be created: %1").arg(ReasonForErrno(error))};
                }
            }
            if (state->fd < 0) {
                return Failure{Tr("cannot be created: %1").arg(ReasonForErrno(EEXIST))};
            }
            // A replaced file keeps its permissions; a new one gets 0666 less the umask.
            struct stat old {};
            if (stat(state->finalName.constData(), &old) == 0) {
                fchmod(state->fd, old.st_mode & 07777);
            }
            break;
        }
    }
    state_ = std::move(state);
    return Done{};
}

void TargetOutputFile::Write(const void* bytes, std::size_t count) {
    if (!state_ || state_->fd < 0) {
        throw FileWriteError(Tr("the output file is not open").toStdString());
    }
    const char* data = static_cast<const char*>(bytes);
    while (count > 0) {
        const std::size_t take = std::min(count, kBufferSize - state_->buffer.size());
        state_->buffer.insert(state_->buffer.end(), data, data + take);
        data += take;
        count -= take;
        if (state_->buffer.size() == kBufferSize) {
            state_->Flush();
        }
    }
}

Result<Done> TargetOutputFile::Commit() {
    if (!state_ || state_->fd < 0) {
        return Failure{Tr("the output file is not open")};
    }
    State& s = *state_;
    try {
        s.Flush();
    } catch (const FileWriteError& error) {
        s.Discard();
        return Failure{QString::fromStdString(error.what())};
    }
    if (s.kind == OutputKind::StandardOutput) {
        s.fd = -1;
        return Done{};
    }
    // The data is on the disk before the name moves over it; close reports late write errors
    // of some file systems.
    const bool synced = s.kind != OutputKind::ReplaceFile || fsync(s.fd) == 0;
    int error = synced ? 0 : errno;
    if (error == 0 && s.kind == OutputKind::ReplaceFile && s.temporaryName.isEmpty()) {
        error = s.NameAnonymousFile();
    }
    if (close(s.fd) != 0 && error == 0) {
        error = errno;
    }
    s.fd = -1;
    if (error == 0 && s.kind == OutputKind::ReplaceFile &&
        rename(s.temporaryName.constData(), s.finalName.constData()) != 0) {
        error = errno;
    }
    if (error != 0) {
        s.Discard();
        return Failure{Tr("cannot be written: %1").arg(ReasonForErrno(error))};
    }
    s.temporaryName.clear();
    KeepOnStop(s.stopTicket);
    s.stopTicket = -1;
    return Done{};
}

}  // namespace tavrel
