// Times the dialog's two heavy steps through the real dialog: choosing a 1920 x 1080 JPEG
// for a slot (decode, staged BMP copy, thumbnail), and generating the GIF of five filled
// slots from their staged 24-bit copies (five 530 x 530 frames, file replaced at the end).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>
#include <optional>
#include <utility>

#include "frames/frame_maker.h"
#include "frames/gif_encoding.h"
#include "platform/files.h"
#include "platform/image_codecs.h"
#include "platform/window/file_dialog.h"
#include "platform/window/message_box.h"
#include "ui/tavrel_dlg.h"

namespace {

QString TestData(const QString& relativePath) {
    return QStringLiteral(TAVREL_TESTDATA_DIR) + QLatin1Char('/') + relativePath;
}

// A started dialog in a fresh work folder whose file dialogs always answer `answer`.
struct BenchDialog {
    BenchDialog() {
        QDir().mkpath(work.filePath("Resources/Tavrel"));
        QFile::copy(QStringLiteral(TAVREL_SOURCE_DIR) + "/Resources/Tavrel/back.bmp",
                    work.filePath("Resources/Tavrel/back.bmp"));
        tavrel::FileDialog::SetHook(
            [this](const tavrel::FileDialogRequest&) -> std::optional<QString> { return answer; });
        tavrel::SetMessageBoxHook([this](const QString&, const QString& text) { last = text; });
        dialog = std::make_unique<CTavrelDlg>(nullptr, work.path());
        dialog->Create();
    }
    ~BenchDialog() {
        dialog.reset();
        tavrel::FileDialog::SetHook(nullptr);
        tavrel::SetMessageBoxHook(nullptr);
    }
    QTemporaryDir work;
    QString answer;
    QString last;
    std::unique_ptr<CTavrelDlg> dialog;
};

void BM_ChooseFullHdJpegForASlot(benchmark::State& state) {
    BenchDialog bench;
    bench.answer = TestData("photo1080/p1.jpg");
    for (auto _ : state) {
        bench.dialog->SendCommand(IDC_SLOT1);
    }
    if (!bench.dialog->m_bSlotFilled[0] || !bench.last.isEmpty()) {
        state.SkipWithError("the slot was not filled");
    }
}
BENCHMARK(BM_ChooseFullHdJpegForASlot)->Unit(benchmark::kMillisecond);

void BM_GenerateFiveFrameGif(benchmark::State& state) {
    BenchDialog bench;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        bench.answer = TestData(QStringLiteral("photo530/p%1.png").arg(slot));
        bench.dialog->SendCommand(IDC_SLOT1 + slot - 1);
    }
    bench.answer = bench.work.filePath("out.gif");
    for (auto _ : state) {
        bench.dialog->SendCommand(IDC_GENERATE);
    }
    if (bench.last != QStringLiteral("动画已制作成功！谢谢！")) {
        state.SkipWithError(bench.last.toStdString().c_str());
    }
    state.counters["bytes"] = static_cast<double>(QFileInfo(bench.answer).size());
}
BENCHMARK(BM_GenerateFiveFrameGif)->Unit(benchmark::kMillisecond);

// The steps of one 1920 x 1080 JPEG's road to a frame, as the command-line tool takes them:
// state.range(0) says how far (1 decode, 2 + stretch, 3 + quantise and map, 4 + LZW and
// write). The shares follow from the differences.
void BM_PhotoFrameSteps(benchmark::State& state) {
    const QString photo = TestData("photo1080/p1.jpg");
    const auto steps = state.range(0);
    for (auto _ : state) {
        const tavrel::Result<QImage> picture = tavrel::LoadPicture(photo);
        if (!picture) {
            state.SkipWithError("the photo could not be read");
            break;
        }
        if (steps < 2) {
            continue;
        }
        const tavrel::Result<tavrel::DibSection> bitmap =
            tavrel::StretchPicture(*picture, tavrel::FrameOptions{});
        if (steps < 3) {
            continue;
        }
        const tavrel::Result<tavrel::IndexedFrame> frame = tavrel::IndexBitmap(*bitmap);
        if (steps < 4) {
            continue;
        }
        tavrel::MemoryOutputFile out;
        tavrel::GifFrame gifFrame;
        gifFrame.image = *frame;
        gifFrame.delay = 80;
        tavrel::StreamingGifEncoder(out).Add(std::move(gifFrame));
        benchmark::DoNotOptimize(out.Bytes().data());
    }
}
BENCHMARK(BM_PhotoFrameSteps)->DenseRange(1, 4)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    uintptr_t token = 0;
    tavrel::CodecStartupInput input;
    tavrel::CodecStartup(&token, &input);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    tavrel::CodecShutdown(token);
    return 0;
}
