// BMP files into DibSection bitmaps. The header (bit count, colour table, compression) is read
// here; Qt's reader decodes the pixels, which covers RLE, top-down files and bit fields.
#include "platform/bitmap_loader.h"

#include "platform/picture_checks.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

namespace tavrel {

namespace {

using BmpHeader = BmpFileHeader;

// The file's rows copied as they are: an uncompressed file already at the requested size.
DibSection CopyRawRows(const BmpHeader& h, const QByteArray& file) {
    DibSection dib(h.width, h.height, h.bitCount);
    const std::size_t stride = dib.Stride();
    const std::size_t end = h.pixelOffset + stride * static_cast<std::size_t>(h.height);
    if (end > static_cast<std::size_t>(file.size())) {
        return {};  // truncated
    }
    for (int32_t row = 0; row < h.height; ++row) {
        const int32_t memoryRow = h.topDown ? h.height - 1 - row : row;
        std::memcpy(dib.Row(memoryRow), file.constData() + h.pixelOffset + row * stride, stride);
    }
    if (h.bitCount <= 8) {
        dib.ColourTable() = h.colourTable;
    }
    return dib;
}

// Source coordinate for each target coordinate: the pixel under the target pixel's centre.
std::vector<int> NearestMap(int target, int source) {
    std::vector<int> map(static_cast<std::size_t>(target));
    for (int i = 0; i < target; ++i) {
        map[static_cast<std::size_t>(i)] =
            static_cast<int>((2 * static_cast<int64_t>(i) + 1) * source / (2 * int64_t{target}));
    }
    return map;
}

// For each index of Qt's image, the file's index of the same colour. Qt may reorder a
// two-colour table and invert the bits to match (a one-colour 1-bit picture comes back as
// white first), so its indices hold only against its own table.
std::array<uint8_t, 256> FileIndices(const std::vector<RgbQuad>& colourTable, const QImage& image) {
    std::array<uint8_t, 256> indices{};
    const QList<QRgb> qtTable = image.colorTable();
    for (std::size_t i = 0; i < indices.size(); ++i) {
        indices[i] = static_cast<uint8_t>(i);
        if (i >= static_cast<std::size_t>(qtTable.size()) || i >= colourTable.size()) {
            continue;
        }
        const QRgb qt = qtTable[static_cast<qsizetype>(i)];
        const auto same = [qt](const RgbQuad& c) {
            return c.red == qRed(qt) && c.green == qGreen(qt) && c.blue == qBlue(qt);
        };
        if (!same(colourTable[i])) {
            const auto found = std::find_if(colourTable.begin(), colourTable.end(), same);
            if (found != colourTable.end()) {
                indices[i] = static_cast<uint8_t>(found - colourTable.begin());
            }
        }
    }
    return indices;
}

// Indexed pictures keep their indices: nearest neighbour from Qt's Mono or Indexed8 image.
DibSection StretchIndexedRows(const std::vector<RgbQuad>& colourTable, uint16_t bitCount,
                              const QImage& image, int width, int height) {
    if (image.format() != QImage::Format_Mono && image.format() != QImage::Format_Indexed8) {
        return {};
    }
    const bool mono = image.format() == QImage::Format_Mono;
    const uint8_t mask = static_cast<uint8_t>((1u << bitCount) - 1);
    DibSection dib(width, height, bitCount);
    dib.ColourTable() = colourTable;
    const std::array<uint8_t, 256> fileIndex = FileIndices(colourTable, image);
    const std::vector<int> xs = NearestMap(width, image.width());
    const std::vector<int> ys = NearestMap(height, image.height());
    for (int y = 0; y < height; ++y) {
        const uchar* src = image.constScanLine(ys[static_cast<std::size_t>(y)]);
        uint8_t* dst = dib.Row(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const int sx = xs[static_cast<std::size_t>(x)];
            const uint8_t index =
                fileIndex[mono ? (src[sx >> 3] >> (7 - (sx & 7))) & 1 : src[sx]] & mask;
            switch (bitCount) {
                case 1:
                    dst[x >> 3] |= static_cast<uint8_t>(index << (7 - (x & 7)));
                    break;
                case 4:
                    dst[x >> 1] |= static_cast<uint8_t>(index << ((x & 1) ? 0 : 4));
                    break;
                default:
                    dst[x] = index;
                    break;
            }
        }
    }
    return dib;
}

// Plain 16-, 24- and 32-bit rows as a top-down RGB32 picture, without a general decoder's
// per-row device reads and format checks.
QImage PlainRowsToImage(const BmpHeader& h, const QByteArray& file) {
    const std::size_t stride = RowStride(h.width, h.bitCount).value_or(0);
    QImage image(h.width, h.height, QImage::Format_RGB32);
    if (image.isNull() || stride == 0) {
        return {};
    }
    const auto* pixels = reinterpret_cast<const uint8_t*>(file.constData()) + h.pixelOffset;
    for (int y = 0; y < h.height; ++y) {
        const int fileRow = h.topDown ? y : h.height - 1 - y;
        const uint8_t* src = pixels + static_cast<std::size_t>(fileRow) * stride;
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
        switch (h.bitCount) {
            case 32:
                for (int x = 0; x < h.width; ++x, src += 4) {
                    dst[x] = qRgb(src[2], src[1], src[0]);
                }
                break;
            case 24:
                for (int x = 0; x < h.width; ++x, src += 3) {
                    dst[x] = qRgb(src[2], src[1], src[0]);
                }
                break;
            default:  // 16 bits: 5-5-5
                for (int x = 0; x < h.width; ++x, src += 2) {
                    const Rgb555 c = Unpack555(src);
                    dst[x] = qRgb(Expand5(c.red), Expand5(c.green), Expand5(c.blue));
                }
                break;
        }
    }
    return image;
}

// True-colour pictures are resampled smoothly (area averaging when shrinking).
DibSection StretchTrueColourRows(uint16_t bitCount, QImage image, int width, int height) {
    if (image.format() != QImage::Format_RGB32) {
        image = image.convertToFormat(QImage::Format_RGB32);
    }
    if (image.width() != width || image.height() != height) {
        image = image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    if (image.isNull()) {
        return {};
    }
    DibSection dib(width, height, bitCount);
    for (int y = 0; y < height; ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uint8_t* dst = dib.Row(height - 1 - y);
        switch (bitCount) {
            case 32:
                std::memcpy(dst, src, static_cast<std::size_t>(width) * 4);
                break;
            case 24:
                for (int x = 0; x < width; ++x, dst += 3) {
                    dst[0] = static_cast<uint8_t>(qBlue(src[x]));
                    dst[1] = static_cast<uint8_t>(qGreen(src[x]));
                    dst[2] = static_cast<uint8_t>(qRed(src[x]));
                }
                break;
            default:  // 16 bits: 5-5-5
                for (int x = 0; x < width; ++x, dst += 2) {
                    Pack555(qRed(src[x]), qGreen(src[x]), qBlue(src[x]), dst);
                }
                break;
        }
    }
    return dib;
}

}  // namespace

DibSection StretchTrueColourPicture(const QImage& image, uint16_t bitCount, int width, int height) {
    if (width <= 0 || height <= 0 || image.isNull() ||
        (bitCount != 16 && bitCount != 24 && bitCount != 32)) {
        return {};
    }
    return StretchTrueColourRows(bitCount, image, width, height);
}

DibSection LoadBitmapFromFile(const QString& path, int width, int height) {
    if (width <= 0 || height <= 0) {
        return {};
    }
    // Read as any picture is: a FIFO, a device or an oversized file is refused unread.
    Result<QByteArray> bytes = ReadPictureFile(path);
    if (!bytes) {
        return {};
    }
    return LoadBitmapFromBytes(std::move(*bytes), width, height);
}

DibSection LoadBitmapFromBytes(QByteArray bytes, int width, int height) {
    if (width <= 0 || height <= 0) {
        return {};
    }
    const std::optional<BmpHeader> header =
        ReadBmpFileHeader(reinterpret_cast<const uint8_t*>(bytes.constData()),
                          static_cast<std::size_t>(bytes.size()));
    if (!header) {
        return {};
    }
    if (!BmpPixelDataComplete(*header, reinterpret_cast<const uint8_t*>(bytes.constData()),
                              static_cast<std::size_t>(bytes.size()))) {
        return {};
    }
    try {
        if (header->compression == kBiRgb && header->width == width && header->height == height) {
            return CopyRawRows(*header, bytes);
        }
        if (header->compression == kBiRgb && header->bitCount > 8) {
            // The common case of a staged photo: plain true-colour rows, read directly.
            return StretchTrueColourRows(header->bitCount, PlainRowsToImage(*header, bytes), width,
                                         height);
        }
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "bmp");
        const QImage image = reader.read();
        if (image.isNull()) {
            return {};
        }
        return header->bitCount <= 8
                   ? StretchIndexedRows(header->colourTable, header->bitCount, image, width, height)
                   : StretchTrueColourRows(header->bitCount, image, width, height);
    } catch (const std::bad_alloc&) {
        return {};  // a size too large to hold is a failed load, like any other
    }
}

QImage DibToImage(const DibSection& bitmap) {
    if (bitmap.IsNull() || bitmap.Width() <= 0 || bitmap.Height() <= 0) {
        return {};
    }
    const int width = bitmap.Width();
    const int height = bitmap.Height();
    const uint16_t bits = bitmap.BitsPerPixel();
    if (bitmap.Pixels().size() < bitmap.Stride() * static_cast<std::size_t>(height)) {
        return {};
    }
    const std::vector<RgbQuad>& table = bitmap.ColourTable();
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const uint8_t* src = bitmap.Row(height - 1 - y);
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            switch (bits) {
                case 32:
                    dst[x] = qRgb(src[4 * x + 2], src[4 * x + 1], src[4 * x]);
                    break;
                case 24:
                    dst[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
                    break;
                case 15:
                case 16: {
                    const Rgb555 c = Unpack555(src + 2 * x);
                    dst[x] = qRgb(Expand5(c.red), Expand5(c.green), Expand5(c.blue));
                    break;
                }
                default: {
                    const unsigned index = PaletteIndexAt(src, x, bits);
                    const RgbQuad c = index < table.size() ? table[index] : RgbQuad{};
                    dst[x] = qRgb(c.red, c.green, c.blue);
                    break;
                }
            }
        }
    }
    return image;
}

}  // namespace tavrel
