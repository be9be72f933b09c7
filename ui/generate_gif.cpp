// The GIF generation command: one frame per filled slot, in slot order, written to a file
// chosen in the save dialog. The file is replaced only when it is complete.
#include <QElapsedTimer>
#include <QGuiApplication>
#include <vector>

#include "frames/gif_run.h"
#include "platform/window/file_dialog.h"
#include "platform/window/message_box.h"
#include "ui/speed_texts.h"
#include "ui/tavrel_dlg.h"

namespace {

constexpr char kNothingToGenerate[] = "生成动画之前，请先选择至少一幅图像！谢谢！";
constexpr char kDone[] = "动画已制作成功！谢谢！";
constexpr char kSaveFilter[] = "GIF 文件(*.GIF)|*.GIF||";
constexpr char kCannotWrite[] = "动画文件无法写入，未生成动画：";
constexpr char kStagedCopyUnreadable[] = "图像%1的暂存文件无法读取，未生成动画。";
constexpr char kOutOfMemory[] = "内存不足，未生成动画。";

// Shows the busy cursor once a run looks like it will take longer than a quarter second,
// and takes it away again on every way out.
class BusyCursorWhenSlow {
public:
    explicit BusyCursorWhenSlow(int totalSteps) : totalSteps_(totalSteps) { clock_.start(); }
    ~BusyCursorWhenSlow() {
        if (shown_) {
            QGuiApplication::restoreOverrideCursor();
        }
    }
    BusyCursorWhenSlow(const BusyCursorWhenSlow&) = delete;
    BusyCursorWhenSlow& operator=(const BusyCursorWhenSlow&) = delete;

    void StepDone(int stepsDone) {
        constexpr qint64 kQuickMs = 250;
        if (!shown_ && stepsDone > 0 && clock_.elapsed() * totalSteps_ / stepsDone > kQuickMs) {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            shown_ = true;
        }
    }

private:
    QElapsedTimer clock_;
    int totalSteps_;
    bool shown_ = false;
};

// Clears the header flag on every way out of a run.
class HeaderFlagReset {
public:
    explicit HeaderFlagReset(bool& flag) : flag_(flag) {}
    ~HeaderFlagReset() { flag_ = false; }
    HeaderFlagReset(const HeaderFlagReset&) = delete;
    HeaderFlagReset& operator=(const HeaderFlagReset&) = delete;

private:
    bool& flag_;
};

}  // namespace

void CTavrelDlg::OnGenerateGif() {
    if (m_nSelectedCount == 0) {
        tavrel::ShowMessage(this, kNothingToGenerate);
        return;
    }

    tavrel::FileDialog dialog(false, QStringLiteral("GIF"), QString(),
                              tavrel::kOfnHideReadOnly | tavrel::kOfnOverwritePrompt, kSaveFilter,
                              this);
    dialog.SetInitialFolder(WorkDir() + QStringLiteral("/GifFiles/"));
    if (dialog.DoModal() != tavrel::kIdOk) {
        return;
    }
    m_strOutputPath = dialog.GetPathName();
    m_nFrameDelay = tavrel::GifDelayFor(tavrel::SpeedForText(m_strSpeed));
    m_strGifPath = m_strOutputPath;
    UpdateData(false);

    QString reason;
    if (!WriteGifFile(Resolve(m_strOutputPath), static_cast<uint16_t>(m_nFrameDelay), &reason)) {
        tavrel::ShowMessage(this, reason);
        return;
    }
    tavrel::ShowMessage(this, kDone);
    UpdateData(false);
}

bool CTavrelDlg::WriteGifFile(const QString& path, uint16_t delay, QString* reason) {
    HeaderFlagReset resetHeaderFlag(m_bHeaderWritten);
    // The count of filled slots stays as it is: a preview tick meanwhile must still see the
    // chosen pictures.
    std::vector<tavrel::PictureSource> sources;
    std::vector<int> slotOfSource;
    for (int index = 0; index < kSlotCount; ++index) {
        if (m_bSlotFilled[index]) {
            sources.push_back(
                {Resolve(m_strSlotBmpPath[index]), tavrel::PictureSource::Kind::kStagedCopy});
            slotOfSource.push_back(index);
        }
    }
    tavrel::GifSettings settings;
    settings.frame = GifFrameOptions();
    settings.delay = delay;
    BusyCursorWhenSlow busy(static_cast<int>(sources.size()));
    tavrel::GifRunControl control;
    control.onPicture = [&](int n, int /*total*/) {
        // Picture n is asked for once the frames before it are written, the header first.
        m_bHeaderWritten = n > 1;
        busy.StepDone(n - 1);
        return true;
    };
    // A FIFO or a device chosen in the save dialog is written into, never replaced.
    const tavrel::GifRunOutcome outcome = tavrel::MakeGif(sources, settings, path, control);
    if (outcome.Ok()) {
        return true;
    }
    const tavrel::GifRunFailure& failure = *outcome.failure;
    switch (failure.kind) {
        case tavrel::GifRunFailure::Kind::kPicture:
            *reason = QString::fromUtf8(kStagedCopyUnreadable)
                          .arg(slotOfSource.at(static_cast<std::size_t>(failure.source)) + 1);
            break;
        case tavrel::GifRunFailure::Kind::kOutOfMemory:
            *reason = kOutOfMemory;
            break;
        default:
            *reason = kCannotWrite + failure.reason;
            break;
    }
    return false;
}
