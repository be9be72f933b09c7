// Reads an uncompressed BMP file with a 40-byte info header into a bitmap, so that the
// shared test pictures can go through the pipeline without an image library.
#pragma once

#include <optional>
#include <string>

#include "platform/dib_section.h"

namespace tavrel::test {

// nullopt for anything but an uncompressed bottom-up BMP of a supported depth.
std::optional<DibSection> ReadBmpFile(const std::string& path);

}  // namespace tavrel::test
