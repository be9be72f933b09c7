#include "platform/picture_checks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "bitmap/bitmap_format.h"
#include "platform/file_names.h"
#include "platform/jpeg_scans.h"
#include "platform/output_target.h"
#include "platform/picture_limits.h"

namespace tavrel {
namespace {

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

// Opens the picture file and checks what it is: the descriptor, or -1 and the reason.
int OpenPictureFile(const QString& name, struct stat* st, QString* reason) {
    // Non-blocking, so that a FIFO is refused below instead of waiting for a writer.
    const int fd =
        open(FileNameToBytes(name).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *reason = errno == ENOENT ? Tr("no such file") : ReasonForErrno(errno);
        return -1;
    }
    if (fstat(fd, st) != 0) {
        *reason = ReasonForErrno(errno);
    } else if (S_ISDIR(st->st_mode)) {
        *reason = Tr("is a folder, not a picture");
    } else if (!S_ISREG(st->st_mode)) {
        *reason = Tr("is not a regular file");
    } else if (st->st_size == 0) {
        *reason = Tr("the file is empty");
    } else if (st->st_size > kMaxPictureFileBytes) {
        *reason = Tr("the file is larger than any accepted picture (%1 MB)")
                      .arg(kMaxPictureFileBytes / 1'000'000);
    } else {
        return fd;
    }
    close(fd);
    return -1;
}

// Real JPEGs that libjpeg does not decode: named, rather than called broken.
Result<Done> CheckJpegKind(const JpegFrame& frame) {
    const auto unsupported = [](const QString& kind) {
        return Failure{Tr("unsupported kind of JPEG (%1)").arg(kind)};
    };
    switch (frame.marker) {
        case 0xC3:
        case 0xC7:
        case 0xCB:
        case 0xCF:
            return unsupported(Tr("lossless"));
        case 0xC5:
        case 0xC6:
        case 0xCD:
        case 0xCE:
            return unsupported(Tr("hierarchical"));
        default:
            break;
    }
    if (frame.marker != 0 && frame.precision != 8) {
        return unsupported(Tr("%1 bits a sample").arg(frame.precision));
    }
    return Done{};
}

}  // namespace

Result<Done> CheckPictureFile(const QString& name) {
    struct stat st {};
    QString reason;
    const Descriptor file(OpenPictureFile(name, &st, &reason));
    if (file.Get() < 0) {
        return Failure{reason};
    }
    return Done{};
}

Result<QByteArray> ReadPictureFile(const QString& name) {
    return ReadPictureFileHead(name, kMaxPictureFileBytes);
}

Result<QByteArray> ReadPictureFileHead(const QString& name, qsizetype limit) {
    struct stat st {};
    QString reason;
    const Descriptor file(OpenPictureFile(name, &st, &reason));
    if (file.Get() < 0) {
        return Failure{reason};
    }
    QByteArray bytes(std::min(static_cast<qsizetype>(st.st_size), limit), Qt::Uninitialized);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            read(file.Get(), bytes.data() + done, static_cast<std::size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return Failure{ReasonForErrno(errno)};
        }
        if (n == 0) {
            break;  // the file shrank meanwhile; the checks judge what is there
        }
        done += n;
    }
    bytes.truncate(done);
    return bytes;
}

Result<Done> CheckBeforeDecoding(const QByteArray& bytes, QSize declared) {
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());
    const auto size = static_cast<std::size_t>(bytes.size());
    const std::optional<BmpFileHeader> bmp =
        bytes.startsWith("BM") ? ReadBmpFileHeader(data, size) : std::nullopt;
    const bool jpeg = bytes.startsWith("\xFF\xD8\xFF");
    if (bmp) {
        declared = QSize(bmp->width, bmp->height);
    }
    if (Result<Done> size = CheckDeclaredSize(declared); !size) {
        return size;
    }
    if (jpeg) {
        const JpegScans scans = CountJpegScans(data, size);
        if (const Result<Done> kind = CheckJpegKind(scans.frame); !kind) {
            return kind;
        }
        if (scans.count > kMaxJpegScans) {
            return Failure{Tr("the JPEG has more than %1 scans, far more than any encoder writes")
                               .arg(kMaxJpegScans)};
        }
        if (!scans.complete) {
            return Failure{Tr("the file is incomplete (the JPEG data ends early)")};
        }
    } else if (bmp && !BmpPixelDataComplete(*bmp, data, size)) {
        return Failure{Tr("the file is incomplete (the BMP pixel data ends early)")};
    }
    return Done{};
}

}  // namespace tavrel
