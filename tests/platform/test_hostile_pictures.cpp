// Hostile and edge-of-the-limit pictures at the codec boundary, each written to a file of its
// own (names that are not UTF-8 among them) and read through the codec layer, as both
// programs read a picture.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <chrono>

#include "platform/file_names.h"
#include "platform/image_codecs.h"
#include "platform/library_messages.h"
#include "tests/qt_app_environment.h"
#include "tests/support/hostile_pictures.h"

namespace tavrel {
namespace {

bool WriteName(const QString& name, const QByteArray& bytes) {
    const int fd = open(FileNameToBytes(name).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const bool ok = fd >= 0 && write(fd, bytes.constData(),
                                     static_cast<std::size_t>(bytes.size())) == bytes.size();
    if (fd >= 0) {
        close(fd);
    }
    return ok;
}

TEST(HostilePictures, AreRefusedWithTheirReasonAndValidOnesAtTheEdgesAreRead) {
    uintptr_t token = 0;
    const CodecStartupInput input;
    ASSERT_EQ(CodecStartup(&token, &input), CodecStatus::Ok);
    CaptureLibraryMessages(false);
    QTemporaryDir dir;
    const QByteArray folder = FileNameToBytes(dir.path()) + '/';
    std::vector<test::HostilePicture> pictures = test::HostilePictures();
    const QByteArray png = test::Shared(QStringLiteral("photo530/p1.png"));
    pictures.push_back({FileNameFromBytes("caf\xE9.png"), png, {}});
    pictures.push_back({FileNameFromBytes("\xFF\xFE\nraw.png"), png, {}});
    pictures.push_back({QStringLiteral("empty.png"), {}, QStringLiteral("empty")});
    pictures.push_back(
        {QStringLiteral("cut.png"), png.left(png.size() / 2), QStringLiteral("(libpng error: ")});
    // A CMYK JPEG with a profile goes through libjpeg and littleCMS: its scan data and its
    // profile scrambled, it still decodes (or is refused) without harm.
    const QByteArray cmyk =
        test::FileContent(QStringLiteral(TAVREL_SOURCE_DIR "/tests/data/colour/cmyk-profile.jpg"));
    const qsizetype scan = cmyk.lastIndexOf(QByteArrayView("\xFF\xDA", 2));
    const qsizetype profile = cmyk.indexOf("ICC_PROFILE");
    pictures.push_back({QStringLiteral("cmyk-scrambled-scan.jpg"),
                        QByteArray(cmyk).replace(scan + 40, 200, QByteArray(200, '\x55')),
                        {}});
    pictures.push_back({QStringLiteral("cmyk-scrambled-profile.jpg"),
                        QByteArray(cmyk).replace(profile + 20, 600, QByteArray(600, '\xAB')),
                        {}});
    pictures.push_back(
        {QStringLiteral("cmyk-cut.jpg"), cmyk.chopped(10), QStringLiteral("incomplete")});
    for (const test::HostilePicture& picture : pictures) {
        const QString name = FileNameFromBytes(folder) + picture.name;
        const std::string what = ShownFileName(picture.name).toStdString();
        ASSERT_TRUE(WriteName(name, picture.bytes)) << what;
        if (picture.name == QLatin1String("16-bit.png")) {
            ASSERT_EQ(picture.bytes[24], 16);  // the bit depth in the PNG header
        }
        const auto started = std::chrono::steady_clock::now();
        const QString reason = LoadPicture(name).Reason();
        if (picture.refusal.isEmpty()) {
            EXPECT_TRUE(reason.isEmpty()) << what << ": " << reason.toStdString();
        } else {
            EXPECT_TRUE(reason.contains(picture.refusal)) << what << ": " << reason.toStdString();
            EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1)) << what;
        }
        unlink(FileNameToBytes(name).constData());
    }
    const QString fifo = dir.filePath(QStringLiteral("pipe.png"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_TRUE(LoadPicture(fifo).Reason().endsWith("is not a regular file"));
    EXPECT_TRUE(LoadPicture(dir.path()).Reason().endsWith("is a folder, not a picture"));
    EXPECT_TRUE(LoadPicture(dir.filePath("missing.png")).Reason().endsWith("no such file"));
    CodecShutdown(token);
}

}  // namespace
}  // namespace tavrel
