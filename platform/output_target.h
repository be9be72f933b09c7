// Where a GIF goes. A regular file (or a new one) is written beside its final place, without a
// name where the file system allows, and named and renamed over it only when complete; a FIFO or a
// character device (/dev/null) is written into, as cp would, never replaced; "-" is standard
// output. Everything else is refused, and so is an output that is one of the input pictures under
// any name.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "gif/output_file.h"
#include "platform/result.h"

namespace tavrel {

enum class OutputKind {
    ReplaceFile,     // regular or missing: atomic replacement
    WriteInto,       // FIFO or character device: written directly, never replaced
    StandardOutput,  // "-"
};

struct OutputTarget {
    OutputKind kind = OutputKind::ReplaceFile;
    QString path;  // as given; for ReplaceFile through a symbolic link, the link's target
};

// The name that stands for standard output.
inline constexpr char kStandardOutputName[] = "-";

// Decides how the GIF reaches path, before any work is done. Fails when the output is one of
// inputs (the same file through a symbolic link, a hard link
// or another spelling), an existing file the user may not write, a folder, a block device,
// a socket or a broken symbolic link, or when path is "-" and standard output is a terminal
// or closed.
Result<OutputTarget> ChooseOutputTarget(const QString& path, const QStringList& inputs);

// The GIF output for any target. For ReplaceFile nothing is visible at the path before
// Commit, an uncommitted temporary file is removed by the destructor and, through the stop
// signals, by SIGINT, SIGTERM, SIGHUP and SIGPIPE. The other kinds receive the bytes as they
// come.
class TargetOutputFile : public OutputFile {
public:
    TargetOutputFile();
    ~TargetOutputFile() override;
    TargetOutputFile(const TargetOutputFile&) = delete;
    TargetOutputFile& operator=(const TargetOutputFile&) = delete;

    Result<Done> Open(const OutputTarget& target);
    // Throws FileWriteError with the reason when the bytes cannot be written.
    void Write(const void* bytes, std::size_t count) override;
    // Writes out what is buffered and, for ReplaceFile, puts the file in its place.
    Result<Done> Commit();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Why a file operation failed, for the user, from errno.
QString ReasonForErrno(int errorNumber);

}  // namespace tavrel
