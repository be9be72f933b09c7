#include "support/gif_reader.h"

#include <gif_lib.h>

#include <QFile>
#include <cstring>
#include <memory>

#include "support/dialog_harness.h"

namespace tavrel::test {

DecodedGif DecodeGif(const QString& path) {
    DecodedGif result;
    result.endsWithTrailer = FileContent(path).endsWith('\x3B');
    const std::unique_ptr<GifFileType, void (*)(GifFileType*)> gif(
        DGifOpenFileName(QFile::encodeName(path).constData(), nullptr),
        [](GifFileType* file) { DGifCloseFile(file, nullptr); });
    if (!gif || DGifSlurp(gif.get()) != GIF_OK) {
        return result;  // no frames
    }
    result.screen = QSize(gif->SWidth, gif->SHeight);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        const GifImageDesc& desc = image.ImageDesc;
        for (int e = 0; i == 0 && e + 1 < image.ExtensionBlockCount; ++e) {
            const ExtensionBlock* block = image.ExtensionBlocks + e;
            result.loopsForever |=
                block[0].Function == APPLICATION_EXT_FUNC_CODE && block[0].ByteCount == 11 &&
                std::memcmp(block[0].Bytes, "NETSCAPE2.0", 11) == 0 && block[1].ByteCount == 3 &&
                std::memcmp(block[1].Bytes, "\1\0\0", 3) == 0;
        }
        DecodedFrame frame;
        frame.area = QRect(desc.Left, desc.Top, desc.Width, desc.Height);
        frame.hasLocalColourTable = desc.ColorMap != nullptr;
        GraphicsControlBlock control;
        if (DGifSavedExtensionToGCB(gif.get(), i, &control) == GIF_OK) {
            frame.delay = control.DelayTime;
            frame.transparentIndex = control.TransparentColor;
        }
        const ColorMapObject* colours = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
        const int index = image.RasterBits[desc.Height / 2 * desc.Width + desc.Width / 2];
        if (colours != nullptr && index < colours->ColorCount) {
            const GifColorType c = colours->Colors[index];
            frame.centre = QColor(c.Red, c.Green, c.Blue);
        }
        result.frames.push_back(frame);
    }
    return result;
}

}  // namespace tavrel::test
