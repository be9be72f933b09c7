#include "gif/output_file.h"

namespace tavrel {

void MemoryOutputFile::Write(const void* bytes, std::size_t count) {
    if (count == 0) {
        return;
    }
    const auto* first = static_cast<const uint8_t*>(bytes);
    bytes_.insert(bytes_.end(), first, first + count);
}

}  // namespace tavrel
