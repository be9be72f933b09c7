#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <optional>

#include "platform/image_codecs.h"
#include "tests/qt_app_environment.h"

namespace tavrel {
namespace {

using test::TestData;

class Codecs : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(CodecStartup(&token_, &input_), CodecStatus::Ok); }
    void TearDown() override { CodecShutdown(token_); }
    CodecStartupInput input_;
    uintptr_t token_ = 0;
    QTemporaryDir dir_;
};

// Every shared picture loads but the broken ones, which say why; the oversized one's reason
// is checked with the hostile pictures.
TEST_F(Codecs, EveryTestPictureLoadsOrGivesAReason) {
    QStringList files{QStringLiteral("edge/missing.png")};
    for (const char* folder : {"edge", "photo530", "photo1080"}) {
        for (const QString& name : QDir(TestData(folder)).entryList(QDir::Files)) {
            if (!name.endsWith(QStringLiteral(".txt")) && name != QStringLiteral("SHA256SUMS")) {
                files << QString::fromLatin1(folder) + u'/' + name;
            }
        }
    }
    ASSERT_GT(files.size(), 30);
    const QStringList broken = {"missing.png", "x.jpg", "y.png", "truncated.jpg"};
    for (const QString& file : files) {
        const Result<QImage> loaded = LoadPicture(TestData(file));
        const QString name = QFileInfo(file).fileName();
        EXPECT_EQ(loaded && !loaded->isNull(), !broken.contains(name) && !name.startsWith("bomb"))
            << file.toStdString() << ": " << loaded.Reason().toStdString();
        EXPECT_TRUE(!broken.contains(name) ||
                    loaded.Reason().startsWith("cannot read the picture: "))
            << loaded.Reason().toStdString();
    }
}

TEST_F(Codecs, ExifOrientationIsApplied) {
    const QImage image = *LoadPicture(TestData(QStringLiteral("edge/exif-orient6.jpg")));
    ASSERT_EQ(image.size(), QSize(480, 640));
    // Blue top left, red top right, green bottom right.
    for (const auto& [x, y, colour] : {std::tuple{8, 8, qRgb(0, 0, 255)},
                                       {471, 8, qRgb(255, 0, 0)},
                                       {471, 631, qRgb(0, 255, 0)}}) {
        EXPECT_TRUE(test::CloseTo(image.pixel(x, y), colour, 60)) << x << ", " << y;
    }
}

QString ColourPicture(const char* name) {
    return QStringLiteral(TAVREL_SOURCE_DIR "/tests/data/colour/") + QLatin1String(name);
}

// A green that is (40, 200, 60) in sRGB, stored in other colour spaces: it comes out as
// ImageMagick's colour-managed conversion gives it (make-colour-pictures.sh prints those).
// Without a profile, or with an sRGB one, the pixels are the decoder's own.
TEST_F(Codecs, ColourProfilesAreConvertedToSrgb) {
    struct Row {
        QString file;
        std::optional<QRgb> srgb;  // none: exactly as the decoder gives it
    };
    for (const auto& [file, srgb] :
         {Row{ColourPicture("adobe-rgb.jpg"), qRgb(39, 200, 60)},
          Row{ColourPicture("prophoto.jpg"), qRgb(42, 199, 60)},
          Row{ColourPicture("cmyk-profile.jpg"), qRgb(50, 200, 76)},
          Row{ColourPicture("adobe-rgb-iccp.png"), qRgb(37, 199, 59)},
          Row{ColourPicture("linear-gamma.png"), qRgb(40, 200, 60)},
          Row{ColourPicture("srgb-profile.jpg"), {}}, Row{TestData("edge/cmyk.jpg"), {}},
          Row{TestData("edge/gray.jpg"), {}}, Row{TestData("photo530/p3.png"), {}}}) {
        const Result<QImage> picture = LoadPicture(file);
        ASSERT_TRUE(picture) << file.toStdString() << ": " << picture.Reason().toStdString();
        if (!srgb) {
            EXPECT_EQ(*picture, QImage(file).convertToFormat(QImage::Format_RGB32))
                << file.toStdString();
            continue;
        }
        const QColor actual = picture->pixelColor(8, 8);
        EXPECT_TRUE(test::CloseTo(actual, *srgb, 3))
            << file.toStdString() << ": " << actual.red() << ", " << actual.green() << ", "
            << actual.blue();
    }
}

TEST_F(Codecs, TransparentPartsBecomeWhite) {
    // Transparent parts become white, opaque parts keep their colour (the alpha runs
    // across the picture; which pixels are which is read from the file).
    const QImage alpha = *LoadPicture(TestData(QStringLiteral("edge/alpha.png")));
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
}

TEST_F(Codecs, FailedStagingLeavesTheOlderFileAndNoLitter) {
    const QString target = dir_.filePath(QStringLiteral("p.bmp"));
    ASSERT_TRUE(StagePictureAsBmp(TestData(QStringLiteral("photo530/p2.png")), target).Ok());
    const QByteArray before = test::FileContent(target);
    const Result<Done> failed =
        StagePictureAsBmp(TestData(QStringLiteral("edge/truncated.jpg")), target);
    EXPECT_FALSE(failed.Reason().isEmpty());
    EXPECT_EQ(test::FileContent(target), before);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"p.bmp"});
}

// A staging folder that is missing is made; when it cannot be, the reason says why.
TEST_F(Codecs, StagingIntoAMissingFolderMakesItOrSaysWhyItCannot) {
    const QString picture = TestData(QStringLiteral("photo530/p1.png"));
    ASSERT_TRUE(test::WriteAll(dir_.filePath(QStringLiteral("file")), "x"));
    const std::pair<const char*, const char*> rows[] = {
        {"BMP/p.bmp", ""},
        {"file/BMP/p.bmp", "cannot be made: a folder in the path is not a folder"},
    };
    for (const auto& [target, reason] : rows) {
        const Result<Done> staged = StagePictureAsBmp(picture, dir_.filePath(target));
        EXPECT_EQ(staged.Ok(), *reason == 0) << target;
        EXPECT_TRUE(staged.Reason().contains(QLatin1String(reason)))
            << staged.Reason().toStdString();
    }
}

}  // namespace
}  // namespace tavrel
