// Where the GIF writer puts its bytes. The writer only ever appends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
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

// Collects the bytes in memory.
class MemoryOutputFile : public OutputFile {
public:
    void Write(const void* bytes, std::size_t count) override;
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

}  // namespace tavrel
