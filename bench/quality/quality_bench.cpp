// Makes one looping GIF from pictures at a chosen frame quality, the way tavrel-gif does it,
// and says how long each step took. Qt decodes the pictures; the frame library places them.
//   bench_quality [--quality plain|dither|high] [--threads N] [--size WxH]
//                 [--fit stretch|contain|cover] [--blur-psnr] [--save-frames DIR]
//                 OUT.gif PICTURE...
// --blur-psnr prints a quick in-process blur-PSNR per frame (Gaussian, sigma 1) for tuning;
// the figures of record come from frame-quality. --save-frames writes each true-colour
// frame before quantisation as DIR/fN.png: the references for frame-quality.
#include <QColor>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QStringList>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "frames/fitted_picture.h"
#include "gif/gif_writer.h"
#include "gif/output_file.h"
#include "imaging/frame_fit.h"
#include "imaging/true_colour_frame.h"
#include "platform/bitmap_loader.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The picture placed in the frame as tavrel-gif places it, as 32-bit rows.
QImage PlaceInFrame(const QImage& picture, int width, int height, tavrel::FitMode fit) {
    const tavrel::DibSection frame =
        tavrel::FitTrueColourPicture(picture, width, height, fit, qRgb(0, 0, 0));
    return tavrel::DibToImage(frame).convertToFormat(QImage::Format_RGB32);
}

tavrel::TrueColourView ViewOf(const QImage& image) {
    return {image.constBits(), image.width(), image.height(), image.bytesPerLine()};
}

// PSNR of the two pictures after a Gaussian blur of sigma 1 (radius 3) on each channel.
double BlurPsnr(const QImage& a, const QImage& b) {
    static const double kKernel[4] = {0.39894, 0.24197, 0.05399, 0.00443};
    const int w = a.width(), h = a.height();
    const auto blur = [&](const QImage& image) {
        std::vector<double> rows(static_cast<std::size_t>(w) * h * 3), out(rows.size());
        for (int y = 0; y < h; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < w; ++x) {
                for (int c = 0; c < 3; ++c) {
                    double sum = 0;
                    for (int k = -3; k <= 3; ++k) {
                        const QRgb p = line[std::clamp(x + k, 0, w - 1)];
                        sum += kKernel[std::abs(k)] * ((p >> (16 - 8 * c)) & 0xFF);
                    }
                    rows[(static_cast<std::size_t>(y) * w + x) * 3 + c] = sum;
                }
            }
        }
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                for (int c = 0; c < 3; ++c) {
                    double sum = 0;
                    for (int k = -3; k <= 3; ++k) {
                        sum +=
                            kKernel[std::abs(k)] *
                            rows[(static_cast<std::size_t>(std::clamp(y + k, 0, h - 1)) * w + x) *
                                     3 +
                                 c];
                    }
                    out[(static_cast<std::size_t>(y) * w + x) * 3 + c] = sum;
                }
            }
        }
        return out;
    };
    const std::vector<double> ba = blur(a), bb = blur(b);
    double squares = 0;
    for (std::size_t i = 0; i < ba.size(); ++i) {
        squares += (ba[i] - bb[i]) * (ba[i] - bb[i]);
    }
    const double mse = squares / static_cast<double>(ba.size());
    return 10 * std::log10(255.0 * 255.0 / mse);
}

QImage FrameImage(const tavrel::IndexedFrame& frame) {
    QImage image(frame.nWidth, frame.nHeight, QImage::Format_RGB32);
    for (int y = 0; y < frame.nHeight; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < frame.nWidth; ++x) {
            const uint8_t* c =
                &frame.pPalette[3 * frame.pIndices[static_cast<std::size_t>(y) * frame.nWidth + x]];
            line[x] = qRgb(c[0], c[1], c[2]);
        }
    }
    return image;
}

int Usage() {
    std::fprintf(
        stderr,
        "usage: bench_quality [--quality plain|dither|high] [--threads N] [--size WxH]\n"
        "                     [--fit stretch|contain|cover] [--blur-psnr] [--save-frames DIR]\n"
        "                     OUT.gif PICTURE...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    tavrel::FrameQuality quality = tavrel::FrameQuality::kPlain;
    tavrel::FitMode fit = tavrel::FitMode::kStretch;
    int threads = 2, width = 530, height = 530;
    bool measure = false;
    QString saveDir;
    while (!args.isEmpty() && args.first().startsWith(QStringLiteral("--"))) {
        const QString option = args.takeFirst();
        if (option == QStringLiteral("--blur-psnr")) {
            measure = true;
            continue;
        }
        if (args.isEmpty()) {
            return Usage();
        }
        const QString value = args.takeFirst();
        if (option == QStringLiteral("--quality")) {
            quality = value == QStringLiteral("high")     ? tavrel::FrameQuality::kHigh
                      : value == QStringLiteral("dither") ? tavrel::FrameQuality::kDither
                                                          : tavrel::FrameQuality::kPlain;
        } else if (option == QStringLiteral("--fit")) {
            fit = value == QStringLiteral("contain") ? tavrel::FitMode::kContain
                  : value == QStringLiteral("cover") ? tavrel::FitMode::kCover
                                                     : tavrel::FitMode::kStretch;
        } else if (option == QStringLiteral("--save-frames")) {
            saveDir = value;
        } else if (option == QStringLiteral("--threads")) {
            threads = std::max(1, value.toInt());
        } else if (option == QStringLiteral("--size")) {
            const QStringList sides = value.split(QLatin1Char('x'));
            if (sides.size() != 2) {
                return Usage();
            }
            width = sides[0].toInt();
            height = sides[1].toInt();
        } else {
            return Usage();
        }
    }
    if (args.size() < 2) {
        return Usage();
    }
    const std::string outputPath = args.takeFirst().toStdString();
    const int count = static_cast<int>(args.size());

    // Each worker takes the next picture: decode, place in the frame, convert. Every frame
    // is made by one thread alone, so the bytes do not depend on the thread count.
    const Clock::time_point start = Clock::now();
    std::vector<QImage> pictures(count);
    std::vector<tavrel::IndexedFrame> frames(count);
    std::vector<double> decodeMs(count), convertMs(count);
    std::atomic<int> nextPicture{0};
    std::atomic<bool> failed{false};
    const auto work = [&] {
        for (int i = nextPicture++; i < count; i = nextPicture++) {
            const Clock::time_point t0 = Clock::now();
            const QImage decoded(args[i]);
            if (decoded.isNull()) {
                failed = true;
                continue;
            }
            pictures[i] = PlaceInFrame(decoded, width, height, fit);
            decodeMs[i] = MillisecondsSince(t0);
            const Clock::time_point t1 = Clock::now();
            if (!tavrel::TrueColourToIndexedFrame(ViewOf(pictures[i]), quality, frames[i])) {
                failed = true;
            }
            convertMs[i] = MillisecondsSince(t1);
        }
    };
    std::vector<std::thread> workers;
    for (int t = 1; t < threads; ++t) {
        workers.emplace_back(work);
    }
    work();
    for (std::thread& worker : workers) {
        worker.join();
    }
    if (failed) {
        std::fprintf(stderr, "a picture could not be read or converted\n");
        return 1;
    }

    const Clock::time_point writeStart = Clock::now();
    tavrel::MemoryOutputFile out;
    tavrel::WriteGifHeader(out, static_cast<uint16_t>(width), static_cast<uint16_t>(height),
                           frames[0].nBitsPerPixel);
    std::vector<std::size_t> frameBytes;
    for (const tavrel::IndexedFrame& frame : frames) {
        tavrel::MemoryOutputFile memory;
        tavrel::WriteGifFrame(memory, frame.pIndices.data(), frame.pPalette.data(),
                              static_cast<uint16_t>(frame.nWidth),
                              static_cast<uint16_t>(frame.nHeight), frame.nBitsPerPixel, 80,
                              tavrel::kNoTransparentColour);
        out.Write(memory.Bytes().data(), memory.Bytes().size());
        frameBytes.push_back(memory.Bytes().size());
    }
    tavrel::WriteGifTrailer(out);
    QFile file(QString::fromStdString(outputPath));
    const auto size = static_cast<qint64>(out.Bytes().size());
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(reinterpret_cast<const char*>(out.Bytes().data()), size) != size) {
        std::fprintf(stderr, "%s cannot be written\n", outputPath.c_str());
        return 1;
    }
    file.close();
    const double writeMs = MillisecondsSince(writeStart);

    for (int i = 0; i < count; ++i) {
        std::printf("frame %d: decode+place %.1f ms, convert %.1f ms, %zu bytes", i + 1,
                    decodeMs[i], convertMs[i], frameBytes[i]);
        if (measure) {
            std::printf(", blur-PSNR %.2f", BlurPsnr(FrameImage(frames[i]), pictures[i]));
        }
        std::printf("\n");
    }
    std::printf("write %.1f ms, total %.1f ms\n", writeMs, MillisecondsSince(start));
    for (int i = 0; !saveDir.isEmpty() && i < count; ++i) {
        pictures[i].save(saveDir + QStringLiteral("/f%1.png").arg(i + 1));
    }
    return 0;
}
