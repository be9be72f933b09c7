// Where the GIF writer puts its bytes. The writer only ever appends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace tavrel {

// Raised by an output file whose write fails; what() carries the reason.
class FileWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class OutputFile {
public:
    virtual ~OutputFile() = default;
    // Appends count bytes. Throws FileWriteError when they cannot be written.
    virtual void Write(const void* bytes, std::size_t count) = 0;
};

// Collects the bytes in memory (tests, fuzzing, benchmarks).
class MemoryOutputFile : public OutputFile {
public:
    void Write(const void* bytes, std::size_t count) override;
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

// A file created new or emptied, written through stdio.
class StdioOutputFile : public OutputFile {
public:
    // Throws FileWriteError when the file cannot be created.
    explicit StdioOutputFile(const std::string& path);
    ~StdioOutputFile() override;
    StdioOutputFile(const StdioOutputFile&) = delete;
    StdioOutputFile& operator=(const StdioOutputFile&) = delete;

    void Write(const void* bytes, std::size_t count) override;
    // Flushes and closes; throws FileWriteError when the data cannot be written out.
    void Close();

private:
    std::FILE* file_ = nullptr;
    std::string path_;
};

}  // namespace tavrel
