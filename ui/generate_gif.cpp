// The GIF generation command: one frame per filled slot, in slot order, written to a file
// chosen in the save dialog. The file is replaced only when it is complete.
#include <QElapsedTimer>
#include <QGuiApplication>
#include <new>

#include "frames/frame_maker.h"
#include "gif/gif_writer.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "platform/output_target.h"
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
    // A FIFO or a device chosen in the save dialog is written into, never replaced.
    const tavrel::Result<tavrel::OutputTarget> target = tavrel::ChooseOutputTarget(path, {});
    tavrel::TargetOutputFile file;
    const tavrel::Result<tavrel::Done> opened =
        target ? file.Open(*target) : tavrel::Failure{target.Reason()};
    if (!opened) {
        *reason = kCannotWrite + opened.Reason();
        return false;
    }
    try {
        // The count of filled slots stays as it is: a preview tick meanwhile must still see
        // the chosen pictures.
        int framesWritten = 0;
        BusyCursorWhenSlow busy(m_nSelectedCount);
        for (int index = 0; index < kSlotCount; ++index) {
            if (!m_bSlotFilled[index]) {
                continue;
            }
            const tavrel::Result<tavrel::IndexedFrame> frame =
                tavrel::MakeFrameFromStagedBmp(Resolve(m_strSlotBmpPath[index]), GifFrameOptions());
            if (!frame) {
                *reason = QString::fromUtf8(kStagedCopyUnreadable).arg(index + 1);
                return false;
            }
            tavrel::WriteFrame(file, *frame, delay, m_bHeaderWritten);
            busy.StepDone(++framesWritten);
        }
        tavrel::WriteGifTrailer(file);
    } catch (const tavrel::FileWriteError& error) {
        *reason = kCannotWrite + QString::fromUtf8(error.what());
        return false;
    } catch (const std::bad_alloc&) {
        *reason = kOutOfMemory;
        return false;
    }
    if (const tavrel::Result<tavrel::Done> committed = file.Commit(); !committed) {
        *reason = kCannotWrite + committed.Reason();
        return false;
    }
    return true;
}
