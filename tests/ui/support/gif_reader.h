// Reads a GIF file back with giflib, the independent decoder the output is checked against.
#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <vector>

namespace tavrel::test {

struct DecodedFrame {
    QRect area;
    bool hasLocalColourTable = false;
    int delay = -1;             // hundredths of a second; -1: no graphic control extension
    int transparentIndex = -2;  // -1: none
    QColor centre;              // colour of the centre pixel
};

struct DecodedGif {
    QSize screen;
    bool loopsForever = false;  // NETSCAPE2.0 extension with loop count 0
    bool endsWithTrailer = false;
    std::vector<DecodedFrame> frames;
};

DecodedGif DecodeGif(const QString& path);

}  // namespace tavrel::test
