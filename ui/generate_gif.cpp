// The GIF generation command: one frame per filled slot, in slot order, written to a file
// chosen in the save dialog by a run on a thread of its own, with progress and a way to stop.
// The file is replaced only when it is complete.
#include <QEvent>
#include <QEventLoop>
#include <QProgressDialog>
#include <utility>
#include <vector>

#include "platform/result.h"
#include "platform/window/file_dialog.h"
#include "platform/window/message_box.h"
#include "platform/window/staging_folder.h"
#include "ui/gif_job.h"
#include "ui/speed_texts.h"
#include "ui/tavrel_dlg.h"

namespace {

const char* const kNothingToGenerate = QT_TRANSLATE_NOOP(
    "tavrel", "Please choose at least one picture before making the GIF. Thank you!");
const char* const kDone = QT_TRANSLATE_NOOP("tavrel", "The animation is made. Thank you!");
const char* const kDoneDetails = QT_TRANSLATE_NOOP("tavrel", "%1, %2 frames");
const char* const kSaveFilterName = QT_TRANSLATE_NOOP("tavrel", "GIF files (*.gif)");
const char* const kSaveFilterPatterns = "|*.gif||";
const char* const kCannotWrite =
    QT_TRANSLATE_NOOP("tavrel", "The GIF file cannot be written; no animation was made: ");
const char* const kStagedCopyUnreadable = QT_TRANSLATE_NOOP(
    "tavrel", "The staged copy of picture %1 cannot be read; no animation was made.");
const char* const kOutOfMemory =
    QT_TRANSLATE_NOOP("tavrel", "Out of memory; no animation was made.");

const char* const kMaking = QT_TRANSLATE_NOOP("tavrel", "Making the GIF...");
const char* const kFrameOfTotal = QT_TRANSLATE_NOOP("tavrel", "Frame %1 of %2");
const char* const kStop = QT_TRANSLATE_NOOP("tavrel", "Stop");

// Shown only when a run takes longer than this, so that a quick one does not flash a dialog.
constexpr int kProgressDelayMs = 300;

// Mouse, keys, drops and closing: what the dialog ignores while a run works from its state.
bool IsUserInput(const QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::DragEnter:
        case QEvent::Drop:
        case QEvent::Close:
            return true;
        default:
            return false;
    }
}

}  // namespace

void CTavrelDlg::OnGenerateGif() {
    if (m_nSelectedCount == 0) {
        tavrel::ShowMessage(this, tavrel::Tr(kNothingToGenerate));
        return;
    }

    // The first picture's title suggests the name; a lower-case ".gif" is added when the typed
    // name has none.
    QString suggested;
    for (int index = 0; index < kSlotCount && suggested.isEmpty(); ++index) {
        if (m_bSlotFilled[index]) {
            suggested = m_strSlotTitle[index] + QStringLiteral(".gif");
        }
    }
    tavrel::FileDialog dialog(false, QStringLiteral("gif"), suggested,
                              tavrel::kOfnHideReadOnly | tavrel::kOfnOverwritePrompt,
                              tavrel::Tr(kSaveFilterName) + QLatin1String(kSaveFilterPatterns),
                              this);
    dialog.SetInitialFolder(WorkDir() + QStringLiteral("/GifFiles/"));
    if (dialog.DoModal() != tavrel::kIdOk) {
        return;
    }
    m_strOutputPath = dialog.GetPathName();
    m_nFrameDelay = tavrel::GifDelayFor(tavrel::SpeedForText(m_strSpeed));
    m_strGifPath = m_strOutputPath;
    UpdateData(false);

    // The run gets its own copy of the paths and settings; the dialog's state stays its own.
    std::vector<tavrel::PictureSource> sources;
    std::vector<int> slotOfSource;
    for (int index = 0; index < kSlotCount; ++index) {
        if (m_bSlotFilled[index]) {
            sources.push_back(
                {Resolve(m_strSlotBmpPath[index]), tavrel::PictureSource::Kind::kStagedCopy});
            slotOfSource.push_back(index + 1);
        }
    }
    const tavrel::GifRunOutcome outcome =
        RunGifJob(std::move(sources), GifRunSettings(), Resolve(m_strOutputPath));
    if (outcome.Ok()) {
        tavrel::ShowMessage(this, DoneMessage(outcome.summary));
        UpdateData(false);
        return;
    }
    const tavrel::GifRunFailure& failure = *outcome.failure;
    switch (failure.kind) {
        case tavrel::GifRunFailure::Kind::kStopped:
            return;  // the user stopped it: nothing to say
        case tavrel::GifRunFailure::Kind::kPicture:
            tavrel::ShowMessage(this, tavrel::Tr(kStagedCopyUnreadable)
                                          .arg(slotOfSource.at(std::size_t(failure.source))));
            return;
        case tavrel::GifRunFailure::Kind::kOutOfMemory:
            tavrel::ShowMessage(this, tavrel::Tr(kOutOfMemory));
            return;
        case tavrel::GifRunFailure::Kind::kOutput:
            tavrel::ShowMessage(this, tavrel::Tr(kCannotWrite) + failure.reason);
            return;
        case tavrel::GifRunFailure::Kind::kTooLarge:
            tavrel::ShowMessage(this, failure.reason);
            return;
    }
}

tavrel::GifRunOutcome CTavrelDlg::RunGifJob(std::vector<tavrel::PictureSource> sources,
                                            const tavrel::GifSettings& settings,
                                            const QString& outputPath) {
    const int total = static_cast<int>(sources.size());
    tavrel::GifJob job(std::move(sources), settings, outputPath);
    QProgressDialog progress(tavrel::Tr(kMaking), tavrel::Tr(kStop), 0, total, this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(kProgressDelayMs);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setCursor(Qt::BusyCursor);
    connect(&job, &tavrel::GifJob::Progress, &progress, [&progress](int n, int all) {
        progress.setLabelText(tavrel::Tr(kFrameOfTotal).arg(n).arg(all));
        progress.setValue(n - 1);
    });
    connect(&progress, &QProgressDialog::canceled, &job, &tavrel::GifJob::Stop);
    QEventLoop loop;
    connect(&job, &tavrel::GifJob::Finished, &loop, &QEventLoop::quit);

    // Copies released meanwhile stay until the run has read them.
    m_staging->Hold();
    setCursor(Qt::BusyCursor);
    m_pJob = &job;
    job.Start();
    loop.exec();
    m_pJob = nullptr;
    unsetCursor();
    m_staging->EndHold();
    return job.Outcome();
}

bool CTavrelDlg::SwallowInputDuringRun(const QEvent* event) const {
    return m_pJob != nullptr && IsUserInput(event);
}

QString CTavrelDlg::DoneMessage(const tavrel::GifRunSummary& summary) {
    return tavrel::Tr(kDone) + QLatin1Char('\n') +
           tavrel::Tr(kDoneDetails).arg(tavrel::ShownFileSize(summary.bytes)).arg(summary.frames);
}
