// The command-line tool and the dialog make the same file: the real dialog is driven (its
// slots filled through its open dialog, its speed chosen, its generate button pressed) and
// its GIF compared byte for byte with what tavrel-gif writes for the same pictures.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "cli_run.h"
#include "support/dialog_harness.h"
#include "support/gif_reader.h"

namespace tavrel::test {
namespace {

struct SamePictures {
    QString dialogSpeed;
    QString cliSpeed;
    QStringList pictures;
};

TEST(CliMatchesDialog, SameFileForTheSamePicturesAndSpeed) {
    const SamePictures runs[] = {
        // Photos through JPEG decoding, resampling and the octree, in slot order.
        {"中",
         "medium",
         {TestData("photo1080/p1.jpg"), TestData("photo1080/p2.jpg"), TestData("photo530/p3.jpg"),
          TestData("photo530/p4.png"), TestData("photo530/p5.png")}},
        // Indexed bitmaps keep their tables; an upright EXIF photo; a name with Chinese.
        {"慢",
         "slow",
         {TestData("edge/palette-8bit.bmp"), TestData("edge/exif-orient6.jpg"),
          TestData("edge/bilevel-1bit.png"), TestData("edge/测试 图片.png")}},
        {"快", "fast", {TestData("edge/alpha.png"), TestData("edge/rgb555-16bit.bmp")}},
    };
    for (const SamePictures& run : runs) {
        SCOPED_TRACE(run.cliSpeed.toStdString());
        QTemporaryDir dir;
        const QString dialogOut = dir.filePath("dialog.gif");
        {
            DialogHarness h;
            for (int i = 0; i < run.pictures.size(); ++i) {
                h.Choose(i + 1, run.pictures[i]);
            }
            h.SelectSpeed(run.dialogSpeed);
            h.Generate(dialogOut);
            EXPECT_EQ(h.messages, QStringList{"动画已制作成功！谢谢！"});
        }
        const std::vector<uint8_t> fromDialog = ReadBytes(dialogOut);
        ASSERT_FALSE(fromDialog.empty());

        const QString cliOut = dir.filePath("cli.gif");
        const cli_test::ToolRun cli =
            cli_test::RunTool(QStringList{"--speed", run.cliSpeed, "-o", cliOut} + run.pictures);
        ASSERT_EQ(cli.exitCode, 0) << cli.err.toStdString();
        EXPECT_TRUE(ReadBytes(cliOut) == fromDialog) << "the two files differ";
    }
}

}  // namespace
}  // namespace tavrel::test
