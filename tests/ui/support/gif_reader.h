// Reads a GIF file back with giflib, the independent decoder the output is checked against.
#pragma once

#include <QColor>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

namespace tavrel::test {

struct DecodedFrame {
    int left = 0, top = 0, width = 0, height = 0;
    bool hasLocalColourTable = false;
    bool hasControlExtension = false;
    int delay = -1;             // hundredths of a second
    int transparentIndex = -2;  // -1: none
    int disposal = -1;
    QColor centre;  // colour of the centre pixel
};

struct DecodedGif {
    bool ok = false;
    std::string error;
    int screenWidth = 0, screenHeight = 0;
    bool hasGlobalColourTable = false;
    bool loopsForever = false;  // NETSCAPE2.0 extension with loop count 0
    bool endsWithTrailer = false;
    std::vector<DecodedFrame> frames;
};

DecodedGif DecodeGif(const QString& path);

std::vector<uint8_t> ReadBytes(const QString& path);

}  // namespace tavrel::test
