#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <QtEndian>

#include "platform/bitmap_loader.h"
#include "platform/image_codecs.h"
#include "platform/trace.h"
#include "qt_test_app.h"

namespace tavrel {
namespace {

using test::ReadAll;
using test::TestData;

class Codecs : public ::testing::Test {
protected:
    void SetUp() override {
        test::App();
        ASSERT_EQ(CodecStartup(&token_, &input_), CodecStatus::Ok);
    }
    void TearDown() override { CodecShutdown(token_); }

    CodecStartupInput input_;
    uintptr_t token_ = 0;
    QTemporaryDir dir_;
};

QRgb At(const QImage& image, int x, int y) {
    return image.pixel(x, y);
}

bool Near(QRgb c, int r, int g, int b, int tolerance = 60) {
    return std::abs(qRed(c) - r) <= tolerance && std::abs(qGreen(c) - g) <= tolerance &&
           std::abs(qBlue(c) - b) <= tolerance;
}

TEST(CodecLifecycle, EveryOperationFailsUnlessStarted) {
    test::App();
    QStringList trace;
    SetPlatformTrace([&](const QString& line) { trace << line; });
    QTemporaryDir dir;
    const QString source = TestData(QStringLiteral("photo530/p1.png"));
    const QString target = dir.filePath(QStringLiteral("p1.bmp"));
    const auto allFail = [&] {
        EncoderClassId id{};
        QString reason;
        EXPECT_FALSE(FindEncoderByMimeType(QStringLiteral("image/bmp"), &id));
        EXPECT_TRUE(LoadPicture(source, &reason).isNull());
        EXPECT_FALSE(reason.isEmpty());
        EXPECT_FALSE(SavePicture(QImage(4, 4, QImage::Format_RGB32), target, id));
        EXPECT_FALSE(StagePictureAsBmp(source, target));
        EXPECT_FALSE(QFile::exists(target));
    };
    EXPECT_FALSE(CodecsStarted());
    allFail();

    CodecStartupInput input;
    uintptr_t token = 0;
    EXPECT_EQ(CodecStartup(nullptr, &input), CodecStatus::InvalidParameter);
    ASSERT_EQ(CodecStartup(&token, &input), CodecStatus::Ok);
    EXPECT_NE(token, 0u);
    EXPECT_TRUE(StagePictureAsBmp(source, target));
    CodecShutdown(token);
    EXPECT_FALSE(CodecsStarted());
    ASSERT_TRUE(QFile::remove(target));
    allFail();

    EXPECT_EQ(trace, QStringList({"CodecStartup", "CodecShutdown"}));
    SetPlatformTrace({});
}

TEST_F(Codecs, EveryTestPictureLoadsOrGivesAReason) {
    const QStringList failing = {"x.jpg", "y.png", "truncated.jpg", "bomb-60000x60000.png"};
    QStringList files;
    for (const char* folder : {"edge", "photo530", "photo1080"}) {
        for (const QString& name : QDir(TestData(folder)).entryList(QDir::Files)) {
            if (!name.endsWith(QStringLiteral(".txt"))) {
                files << QString::fromLatin1(folder) + u'/' + name;
            }
        }
    }
    files.removeAll(QStringLiteral("edge/SHA256SUMS"));
    ASSERT_GT(files.size(), 30);
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        QString reason;
        const QImage image = LoadPicture(TestData(file), &reason);
        if (failing.contains(QFileInfo(file).fileName())) {
            EXPECT_TRUE(image.isNull());
            EXPECT_FALSE(reason.isEmpty());
        } else {
            ASSERT_FALSE(image.isNull()) << reason.toStdString();
            EXPECT_TRUE(image.format() == QImage::Format_RGB32 ||
                        image.format() == QImage::Format_Indexed8 ||
                        image.format() == QImage::Format_Mono)
                << image.format();
        }
    }
}

TEST_F(Codecs, HostileAndBrokenFilesAreRefusedWithAReasonForTheUser) {
    QString reason;
    EXPECT_TRUE(
        LoadPicture(TestData(QStringLiteral("edge/bomb-60000x60000.png")), &reason).isNull());
    EXPECT_EQ(reason, QStringLiteral("图像太大，无法处理"));
    for (const char* name :
         {"edge/x.jpg", "edge/y.png", "edge/truncated.jpg", "edge/missing.png"}) {
        reason.clear();
        EXPECT_TRUE(LoadPicture(TestData(QString::fromLatin1(name)), &reason).isNull()) << name;
        EXPECT_TRUE(reason.startsWith(QStringLiteral("无法读取图像文件"))) << reason.toStdString();
    }
}

TEST_F(Codecs, ExifOrientationIsApplied) {
    const QImage image = LoadPicture(TestData(QStringLiteral("edge/exif-orient6.jpg")));
    ASSERT_EQ(image.size(), QSize(480, 640));
    const int r = 8, w = image.width() - 1 - r, h = image.height() - 1 - r;
    EXPECT_TRUE(Near(At(image, r, r), 0, 0, 255)) << "top-left should be blue";
    EXPECT_TRUE(Near(At(image, w, r), 255, 0, 0)) << "top-right should be red";
    EXPECT_TRUE(Near(At(image, r, h), 255, 255, 0)) << "bottom-left should be yellow";
    EXPECT_TRUE(Near(At(image, w, h), 0, 255, 0)) << "bottom-right should be green";
}

TEST_F(Codecs, UnusualPixelFormatsBecomeStorable) {
    // Transparent parts of a picture become white; opaque parts keep their colour. (The
    // picture's alpha runs across it; which edge is opaque is read from the file.)
    const QImage alpha = LoadPicture(TestData(QStringLiteral("edge/alpha.png")));
    ASSERT_EQ(alpha.format(), QImage::Format_RGB32);
    const QImage raw =
        QImage(TestData(QStringLiteral("edge/alpha.png"))).convertToFormat(QImage::Format_ARGB32);
    int opaque = 0, clear = 0;
    for (int x = 0; x < raw.width(); ++x) {
        const QRgb c = raw.pixel(x, 240);
        if (qAlpha(c) == 0) {
            ++clear;
            EXPECT_TRUE(Near(alpha.pixel(x, 240), 255, 255, 255, 0)) << x;
        } else if (qAlpha(c) == 255) {
            ++opaque;
            EXPECT_TRUE(Near(alpha.pixel(x, 240), qRed(c), qGreen(c), qBlue(c), 0)) << x;
        }
    }
    EXPECT_GT(opaque, 0);
    EXPECT_GT(clear, 0);

    const QImage deep = LoadPicture(TestData(QStringLiteral("edge/rgb-16bpc.png")));
    EXPECT_EQ(deep.format(), QImage::Format_RGB32);

    const QImage cmyk = LoadPicture(TestData(QStringLiteral("edge/cmyk.jpg")));
    ASSERT_EQ(cmyk.format(), QImage::Format_RGB32);
    ASSERT_EQ(cmyk.size(), QSize(640, 480));
    // A dark picture on average (about 67, 69, 59 in sRGB), not its inverse.
    const QRgb mean =
        cmyk.scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).pixel(0, 0);
    EXPECT_TRUE(Near(mean, 67, 69, 59, 30))
        << qRed(mean) << "," << qGreen(mean) << "," << qBlue(mean);
}

TEST_F(Codecs, EncodersAreFoundByExactMimeType) {
    EncoderClassId bmp{}, again{}, png{};
    ASSERT_TRUE(FindEncoderByMimeType(QStringLiteral("image/bmp"), &bmp));
    ASSERT_TRUE(FindEncoderByMimeType(QStringLiteral("image/bmp"), &again));
    ASSERT_TRUE(FindEncoderByMimeType(QStringLiteral("image/png"), &png));
    EXPECT_EQ(bmp, again);
    EXPECT_NE(bmp, png);
    EXPECT_FALSE(FindEncoderByMimeType(QStringLiteral("IMAGE/BMP"), &again));
    EXPECT_FALSE(FindEncoderByMimeType(QStringLiteral("image/bmp "), &again));
    EXPECT_FALSE(FindEncoderByMimeType(QStringLiteral("image/x-tavrel"), &again));

    // The id chooses the format written.
    const QString path = dir_.filePath(QStringLiteral("out.bmp"));
    ASSERT_TRUE(SavePicture(QImage(3, 3, QImage::Format_RGB32), path, png));
    EXPECT_TRUE(ReadAll(path).startsWith("\x89PNG"));
}

uint16_t BmpBitCount(const QString& path) {
    const QByteArray bytes = ReadAll(path);
    return bytes.size() < 30 ? 0 : qFromLittleEndian<uint16_t>(bytes.constData() + 28);
}

TEST_F(Codecs, StagingWritesABmpThatTheLoaderReads) {
    struct Case {
        const char* source;
        uint16_t bits;
    };
    for (const Case& c : {Case{"photo530/p1.jpg", 24}, Case{"edge/palette-8bit.png", 8},
                          Case{"edge/alpha.png", 24}, Case{"edge/测试 图片.png", 24}}) {
        SCOPED_TRACE(c.source);
        const QString source = TestData(QString::fromUtf8(c.source));
        const QString target = dir_.filePath(QFileInfo(source).completeBaseName() + ".bmp");
        QString reason;
        ASSERT_TRUE(StagePictureAsBmp(source, target, &reason)) << reason.toStdString();
        EXPECT_EQ(BmpBitCount(target), c.bits);
        const QImage picture = LoadPicture(source);
        const DibSection dib = LoadBitmapFromFile(target, picture.width(), picture.height());
        ASSERT_FALSE(dib.IsNull());
        EXPECT_EQ(DibToImage(dib), picture.convertToFormat(QImage::Format_RGB32));
    }
}

TEST_F(Codecs, FailedStagingLeavesTheOlderFileAndNoLitter) {
    const QString target = dir_.filePath(QStringLiteral("p.bmp"));
    ASSERT_TRUE(StagePictureAsBmp(TestData(QStringLiteral("photo530/p2.png")), target));
    const QByteArray before = ReadAll(target);
    for (const char* bad : {"edge/x.jpg", "edge/truncated.jpg", "edge/y.png"}) {
        QString reason;
        EXPECT_FALSE(StagePictureAsBmp(TestData(QString::fromLatin1(bad)), target, &reason));
        EXPECT_FALSE(reason.isEmpty());
    }
    EXPECT_EQ(ReadAll(target), before);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"p.bmp"});

    QString reason;
    EXPECT_FALSE(StagePictureAsBmp(TestData(QStringLiteral("photo530/p1.png")),
                                   dir_.filePath(QStringLiteral("no/such/folder/p.bmp")), &reason));
    EXPECT_FALSE(reason.isEmpty());
}

}  // namespace
}  // namespace tavrel
