#include "ui/gif_frames.h"

#include "gif/gif_writer.h"
#include "imaging/bitmap_to_indexed_frame.h"
#include "imaging/indexed_frame.h"
#include "platform/bitmap_loader.h"

namespace tavrel {

uint16_t GifDelayForSpeed(const QString& speed) {
    if (speed == QStringLiteral("慢")) {
        return 120;
    }
    if (speed == QStringLiteral("中")) {
        return 80;
    }
    return 40;
}

int PreviewIntervalForSpeed(const QString& speed) {
    return GifDelayForSpeed(speed) * 10;
}

bool AppendBmpFrame(OutputFile& out, const QString& bmpPath, int width, int height, uint16_t delay,
                    bool& headerWritten) {
    IndexedFrame frame;
    {
        // Only one picture in memory at a time: the bitmap goes before the frame is written.
        const DibSection bitmap = LoadBitmapFromFile(bmpPath, width, height);
        if (bitmap.IsNull() || !BitmapToIndexedFrame(bitmap, frame)) {
            return false;
        }
    }
    if (!headerWritten) {
        WriteGifHeader(out, static_cast<uint16_t>(frame.nWidth),
                       static_cast<uint16_t>(frame.nHeight), frame.nBitsPerPixel);
        headerWritten = true;
    }
    WriteGifFrame(out, frame.pIndices.data(), frame.pPalette.data(),
                  static_cast<uint16_t>(frame.nWidth), static_cast<uint16_t>(frame.nHeight),
                  frame.nBitsPerPixel, delay, kNoTransparentColour);
    return true;
}

}  // namespace tavrel
