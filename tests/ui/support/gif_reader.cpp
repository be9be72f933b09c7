#include "support/gif_reader.h"

#include <gif_lib.h>

#include <QFile>
#include <cstring>
#include <memory>

namespace tavrel::test {

namespace {

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

bool IsLoopingExtension(const SavedImage& image) {
    for (int i = 0; i + 1 < image.ExtensionBlockCount; ++i) {
        const ExtensionBlock& app = image.ExtensionBlocks[i];
        const ExtensionBlock& data = image.ExtensionBlocks[i + 1];
        if (app.Function == APPLICATION_EXT_FUNC_CODE && app.ByteCount == 11 &&
            std::memcmp(app.Bytes, "NETSCAPE2.0", 11) == 0 && data.ByteCount == 3 &&
            data.Bytes[0] == 1 && data.Bytes[1] == 0 && data.Bytes[2] == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::vector<uint8_t> ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = file.readAll();
    return {bytes.begin(), bytes.end()};
}

DecodedGif DecodeGif(const QString& path) {
    DecodedGif result;
    const std::vector<uint8_t> bytes = ReadBytes(path);
    result.endsWithTrailer = !bytes.empty() && bytes.back() == 0x3B;

    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(
        DGifOpenFileName(path.toLocal8Bit().constData(), &error));
    if (!gif) {
        result.error = GifErrorString(error);
        return result;
    }
    if (DGifSlurp(gif.get()) != GIF_OK) {
        result.error = GifErrorString(gif->Error);
        return result;
    }
    result.screenWidth = gif->SWidth;
    result.screenHeight = gif->SHeight;
    result.hasGlobalColourTable = gif->SColorMap != nullptr;
    result.loopsForever = gif->ImageCount > 0 && IsLoopingExtension(gif->SavedImages[0]);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        DecodedFrame frame;
        frame.left = image.ImageDesc.Left;
        frame.top = image.ImageDesc.Top;
        frame.width = image.ImageDesc.Width;
        frame.height = image.ImageDesc.Height;
        frame.hasLocalColourTable = image.ImageDesc.ColorMap != nullptr;
        GraphicsControlBlock control;
        if (DGifSavedExtensionToGCB(gif.get(), i, &control) == GIF_OK) {
            frame.hasControlExtension = true;
            frame.delay = control.DelayTime;
            frame.transparentIndex = control.TransparentColor;
            frame.disposal = control.DisposalMode;
        }
        const ColorMapObject* colours =
            image.ImageDesc.ColorMap != nullptr ? image.ImageDesc.ColorMap : gif->SColorMap;
        const int index = image.RasterBits[(frame.height / 2) * frame.width + frame.width / 2];
        if (colours != nullptr && index < colours->ColorCount) {
            const GifColorType c = colours->Colors[index];
            frame.centre = QColor(c.Red, c.Green, c.Blue);
        }
        result.frames.push_back(frame);
    }
    result.ok = true;
    return result;
}

}  // namespace tavrel::test
