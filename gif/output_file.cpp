#include "gif/output_file.h"

#include <cerrno>
#include <cstring>

namespace tavrel {
namespace {

// "<what> <path>: <reason>", the reason taken from the errno value saved by the caller.
FileWriteError MakeError(const char* what, const std::string& path, int savedErrno) {
    std::string message = std::string(what) + " " + path;
    if (savedErrno != 0) {
        message += ": ";
        message += std::strerror(savedErrno);
    }
    return FileWriteError(message);
}

}  // namespace

void MemoryOutputFile::Write(const void* bytes, std::size_t count) {
    if (count == 0) {
        return;
    }
    const auto* first = static_cast<const uint8_t*>(bytes);
    bytes_.insert(bytes_.end(), first, first + count);
}

StdioOutputFile::StdioOutputFile(const std::string& path) : path_(path) {
    errno = 0;
    file_ = std::fopen(path.c_str(), "wb");  // NOLINT(cppcoreguidelines-owning-memory)
    if (file_ == nullptr) {
        throw MakeError("cannot create", path_, errno);
    }
}

StdioOutputFile::~StdioOutputFile() {
    // A destructor cannot report: callers that care about the last buffered bytes call Close.
    if (file_ != nullptr) {
        std::fclose(file_);  // NOLINT(cppcoreguidelines-owning-memory)
    }
}

void StdioOutputFile::Write(const void* bytes, std::size_t count) {
    if (file_ == nullptr) {
        throw MakeError("cannot write to closed file", path_, 0);
    }
    if (count == 0) {
        return;
    }
    errno = 0;
    if (std::fwrite(bytes, 1, count, file_) != count) {
        throw MakeError("cannot write", path_, errno);
    }
}

void StdioOutputFile::Close() {
    if (file_ == nullptr) {
        return;
    }
    // fclose flushes the stdio buffer, so this is where a full disk shows up for small files.
    errno = 0;
    const int closeResult = std::fclose(file_);  // NOLINT(cppcoreguidelines-owning-memory)
    const int closeErrno = errno;
    file_ = nullptr;
    if (closeResult != 0) {
        throw MakeError("cannot write", path_, closeErrno);
    }
}

}  // namespace tavrel
