// The LZW coder written the slow, obvious way: every match found by a forward scan over the
// entries of the current table. The fast coder must give exactly the same codes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavrel::test {

std::vector<uint16_t> LinearScanLzwCodes(const uint8_t* px, std::size_t n, uint8_t bits);

}  // namespace tavrel::test
