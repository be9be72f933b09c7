#include "platform/picture_checks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <cerrno>

#include "platform/bitmap_loader.h"
#include "platform/file_names.h"
#include "platform/jpeg_scans.h"
#include "platform/output_target.h"
#include "platform/picture_limits.h"

namespace tavrel {
namespace {

QString Tr(const char* text) {
    return QCoreApplication::translate("tavrel", text);
}

bool Refuse(QString* reason, const QString& text) {
    if (reason) {
        *reason = text;
    }
    return false;
}

// Closes the descriptor on every way out.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

// Opens the picture file and checks what it is; -1 with the reason when it is no picture file.
int OpenPictureFile(const QString& name, struct stat* st, QString* reason) {
    // Non-blocking, so that a FIFO is refused below instead of waiting for a writer.
    const int fd =
        open(FileNameToBytes(name).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        Refuse(reason, errno == ENOENT ? Tr("no such file") : ReasonForErrno(errno));
        return -1;
    }
    QString problem;
    if (fstat(fd, st) != 0) {
        problem = ReasonForErrno(errno);
    } else if (S_ISDIR(st->st_mode)) {
        problem = Tr("is a folder, not a picture");
    } else if (!S_ISREG(st->st_mode)) {
        problem = Tr("is not a regular file");
    } else if (st->st_size == 0) {
        problem = Tr("the file is empty");
    } else if (st->st_size > kMaxPictureFileBytes) {
        problem = Tr("the file is larger than any accepted picture (%1 MB)")
                      .arg(kMaxPictureFileBytes / 1'000'000);
    }
    if (!problem.isEmpty()) {
        close(fd);
        Refuse(reason, problem);
        return -1;
    }
    return fd;
}

}  // namespace

QString PictureFileProblem(const QString& name) {
    struct stat st {};
    QString reason;
    const Descriptor file(OpenPictureFile(name, &st, &reason));
    return reason;
}

bool ReadPictureFile(const QString& name, QByteArray* bytes, QString* reason) {
    struct stat st {};
    const Descriptor file(OpenPictureFile(name, &st, reason));
    if (file.Get() < 0) {
        return false;
    }
    bytes->resize(static_cast<qsizetype>(st.st_size));
    qsizetype done = 0;
    while (done < bytes->size()) {
        const ssize_t n =
            read(file.Get(), bytes->data() + done, static_cast<std::size_t>(bytes->size() - done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return Refuse(reason, ReasonForErrno(errno));
        }
        if (n == 0) {
            break;  // the file shrank meanwhile; the checks judge what is there
        }
        done += n;
    }
    bytes->truncate(done);
    return true;
}

QString ProblemBeforeDecoding(const QByteArray& bytes, QSize declared) {
    const bool bmp = bytes.startsWith("BM");
    const bool jpeg = bytes.startsWith("\xFF\xD8\xFF");
    if (bmp) {
        declared = BmpDeclaredSize(bytes).value_or(declared);
    }
    if (QString tooLarge = DeclaredSizeProblem(declared); !tooLarge.isEmpty()) {
        return tooLarge;
    }
    if (jpeg) {
        const JpegScans scans = CountJpegScans(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                               static_cast<std::size_t>(bytes.size()));
        if (scans.count > kMaxJpegScans) {
            return Tr("the JPEG has more than %1 scans, far more than any encoder writes")
                .arg(kMaxJpegScans);
        }
        if (!scans.complete) {
            return Tr("the file is incomplete (the JPEG data ends early)");
        }
    } else if (bmp && !BmpPixelDataComplete(bytes)) {
        return Tr("the file is incomplete (the BMP pixel data ends early)");
    }
    return {};
}

}  // namespace tavrel
