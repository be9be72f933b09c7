// File sizes as people write and read them: "300k", "1.5MB", "2MiB" in, "142.3 kB" out.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace tavrel {

// Bytes, or a number (a decimal fraction allowed) with a unit: B; k, kB, K, KB (1,000);
// M, MB (1,000,000); G, GB; KiB, MiB, GiB (powers of 1,024). A fraction of a byte is dropped.
// nullopt for zero, a sign, no number, an unknown unit or more than 2^64 - 1 bytes.
std::optional<uint64_t> ParseByteSize(const QString& text);

// "1 byte", "950 bytes", "142.3 kB", "1.5 MB": decimal units, one or two decimals at most, rounded
// up when roundUp (so a size just above a limit never reads as the limit), else down.
QString FormatByteSize(uint64_t bytes, bool roundUp = false);

// The one line a run gives when even its smallest file is larger than the limit.
QString CannotFitReason(int frames, int width, int height, uint64_t maxBytes,
                        uint64_t smallestBytes);

}  // namespace tavrel
