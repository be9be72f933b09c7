#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

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
    void SetUp() override { ASSERT_EQ(CodecStartup(&token_, &input_), CodecStatus::Ok); }
    void TearDown() override { CodecShutdown(token_); }
    CodecStartupInput input_;
    uintptr_t token_ = 0;
    QTemporaryDir dir_;
};

bool Near(QRgb c, QRgb want, int tolerance) {
    return std::abs(qRed(c) - qRed(want)) <= tolerance &&
           std::abs(qGreen(c) - qGreen(want)) <= tolerance &&
           std::abs(qBlue(c) - qBlue(want)) <= tolerance;
}

TEST(CodecLifecycle, EveryOperationFailsBeforeStartUpAndAfterShutDown) {
    QStringList trace;
    SetPlatformTrace([&](const QString& line) { trace << line; });
    QTemporaryDir dir;
    const QString source = TestData(QStringLiteral("photo530/p1.png"));
    const QString target = dir.filePath(QStringLiteral("p1.bmp"));
    const auto allFail = [&] {
        EncoderClassId id{};
        QString reason;
        EXPECT_FALSE(CodecsStarted());
        EXPECT_FALSE(FindEncoderByMimeType(QStringLiteral("image/bmp"), &id));
        EXPECT_TRUE(LoadPicture(source, &reason).isNull());
        EXPECT_FALSE(reason.isEmpty());
        EXPECT_FALSE(SavePicture(QImage(4, 4, QImage::Format_RGB32), target, id));
        EXPECT_FALSE(StagePictureAsBmp(source, target));
        EXPECT_FALSE(QFile::exists(target));
    };
    allFail();
    CodecStartupInput input;
    uintptr_t token = 0;
    EXPECT_EQ(CodecStartup(nullptr, &input), CodecStatus::InvalidParameter);
    ASSERT_EQ(CodecStartup(&token, &input), CodecStatus::Ok);
    EXPECT_TRUE(StagePictureAsBmp(source, target));
    CodecShutdown(token);
    ASSERT_TRUE(QFile::remove(target));
    allFail();
    EXPECT_EQ(trace, QStringList({"CodecStartup", "CodecShutdown"}));
    SetPlatformTrace({});
}

TEST_F(Codecs, EveryTestPictureLoadsOrGivesAReason) {
    QStringList files{QStringLiteral("edge/missing.png")};
    for (const char* folder : {"edge", "photo530", "photo1080"}) {
        for (const QString& name : QDir(TestData(folder)).entryList(QDir::Files)) {
            if (!name.endsWith(QStringLiteral(".txt")) && name != QStringLiteral("SHA256SUMS"))
                files << QString::fromLatin1(folder) + u'/' + name;
        }
    }
    ASSERT_GT(files.size(), 30);
    const QStringList broken = {"missing.png", "x.jpg", "y.png", "truncated.jpg"};
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        QString reason;
        const QImage image = LoadPicture(TestData(file), &reason);
        const QString name = QFileInfo(file).fileName();
        if (name == QStringLiteral("bomb-60000x60000.png")) {
            EXPECT_TRUE(image.isNull());
            EXPECT_EQ(reason, QStringLiteral("图像太大，无法处理"));
        } else if (broken.contains(name)) {
            EXPECT_TRUE(image.isNull());
            EXPECT_TRUE(reason.startsWith(QStringLiteral("无法读取图像文件")))
                << reason.toStdString();
        } else {
            ASSERT_FALSE(image.isNull()) << reason.toStdString();
            EXPECT_TRUE(image.format() == QImage::Format_RGB32 ||
                        image.format() == QImage::Format_Indexed8 ||
                        image.format() == QImage::Format_Mono)
                << image.format();
        }
    }
}

TEST_F(Codecs, ExifOrientationIsApplied) {
    const QImage image = LoadPicture(TestData(QStringLiteral("edge/exif-orient6.jpg")));
    ASSERT_EQ(image.size(), QSize(480, 640));
    const int l = 8, t = 8, r = image.width() - 9, b = image.height() - 9;
    EXPECT_TRUE(Near(image.pixel(l, t), qRgb(0, 0, 255), 60)) << "top-left should be blue";
    EXPECT_TRUE(Near(image.pixel(r, t), qRgb(255, 0, 0), 60)) << "top-right should be red";
    EXPECT_TRUE(Near(image.pixel(l, b), qRgb(255, 255, 0), 60)) << "bottom-left should be yellow";
    EXPECT_TRUE(Near(image.pixel(r, b), qRgb(0, 255, 0), 60)) << "bottom-right should be green";
}

TEST_F(Codecs, AlphaDeepAndCmykPicturesBecomeOpaqueRgb) {
    // Transparent parts become white, opaque parts keep their colour (the alpha runs
    // across the picture; which pixels are which is read from the file).
    const QImage alpha = LoadPicture(TestData(QStringLiteral("edge/alpha.png")));
    ASSERT_EQ(alpha.format(), QImage::Format_RGB32);
    const QImage raw =
        QImage(TestData(QStringLiteral("edge/alpha.png"))).convertToFormat(QImage::Format_ARGB32);
    int seen[2] = {};
    for (int x = 0; x < raw.width(); ++x) {
        const QRgb c = raw.pixel(x, 240);
        if (qAlpha(c) == 0 || qAlpha(c) == 255) {
            ++seen[qAlpha(c) / 255];
            EXPECT_EQ(alpha.pixel(x, 240), qAlpha(c) ? c : qRgb(255, 255, 255)) << x;
        }
    }
    EXPECT_TRUE(seen[0] > 0 && seen[1] > 0);

    EXPECT_EQ(LoadPicture(TestData(QStringLiteral("edge/rgb-16bpc.png"))).format(),
              QImage::Format_RGB32);
    const QImage cmyk = LoadPicture(TestData(QStringLiteral("edge/cmyk.jpg")));
    ASSERT_EQ(cmyk.format(), QImage::Format_RGB32);
    ASSERT_EQ(cmyk.size(), QSize(640, 480));
    // A dark picture on average (about 67, 69, 59 in sRGB), not its inverse.
    const QRgb mean =
        cmyk.scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).pixel(0, 0);
    EXPECT_TRUE(Near(mean, qRgb(67, 69, 59), 30)) << std::hex << mean;
}

TEST_F(Codecs, EncodersAreFoundByExactMimeTypeAndChooseTheFormat) {
    EncoderClassId bmp{}, png{}, other{};
    ASSERT_TRUE(FindEncoderByMimeType(QStringLiteral("image/bmp"), &bmp));
    ASSERT_TRUE(FindEncoderByMimeType(QStringLiteral("image/png"), &png));
    EXPECT_NE(bmp, png);
    for (const char* mime : {"IMAGE/BMP", "image/bmp ", "image/x-tavrel"})
        EXPECT_FALSE(FindEncoderByMimeType(QString::fromLatin1(mime), &other)) << mime;
    const QString path = dir_.filePath(QStringLiteral("out.bmp"));
    ASSERT_TRUE(SavePicture(QImage(3, 3, QImage::Format_RGB32), path, png));
    EXPECT_TRUE(ReadAll(path).startsWith("\x89PNG"));
}

TEST_F(Codecs, StagingWritesABmpThatTheLoaderReads) {
    const std::pair<const char*, int> cases[] = {{"photo530/p1.jpg", 24},
                                                 {"edge/palette-8bit.png", 8},
                                                 {"edge/alpha.png", 24},
                                                 {"edge/测试 图片.png", 24}};
    for (const auto& [name, bits] : cases) {
        SCOPED_TRACE(name);
        const QString source = TestData(QString::fromUtf8(name));
        const QString target = dir_.filePath(QFileInfo(source).completeBaseName() + ".bmp");
        QString reason;
        ASSERT_TRUE(StagePictureAsBmp(source, target, &reason)) << reason.toStdString();
        const QImage picture = LoadPicture(source);
        const DibSection dib = LoadBitmapFromFile(target, picture.width(), picture.height());
        ASSERT_FALSE(dib.IsNull());
        EXPECT_EQ(dib.BitsPerPixel(), bits);
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
        EXPECT_FALSE(reason.isEmpty()) << bad;
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
