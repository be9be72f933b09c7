// tavrel-gif: makes the dialog's looping GIF from pictures named on the command line.
#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <cstdint>
#include <cstdio>

#include <malloc.h>

#include "app/cli_make_gif.h"
#include "app/cli_options.h"
#include "app/cli_progress.h"
#include "platform/file_names.h"
#include "platform/image_codecs.h"
#include "platform/library_messages.h"
#include "platform/stop_signals.h"
#include "platform/translations.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
// Every message is one line, whatever the names and library texts inside it hold.
void PrintLine(std::FILE* stream, const QString& text) {
    std::fputs(tavrel::OneLine(text).toUtf8().constData(), stream);
    std::fputc('\n', stream);
}

// Starts the codec layer for the lifetime of the run and shuts it down on every way out.
class CodecSession {
public:
    CodecSession() {
        const tavrel::CodecStartupInput input;
        started_ = tavrel::CodecStartup(&token_, &input) == tavrel::CodecStatus::Ok;
    }
    ~CodecSession() {
        if (started_) {
            tavrel::CodecShutdown(token_);
        }
    }
    CodecSession(const CodecSession&) = delete;
    CodecSession& operator=(const CodecSession&) = delete;
    bool Started() const { return started_; }

private:
    uintptr_t token_ = 0;
    bool started_ = false;
};

}  // namespace

int main(int argc, char* argv[]) {
    // Every frame takes and frees picture buffers of a few to some tens of megabytes. Kept in
    // the heap rather than handed back to the kernel, they are reused by the next frame
    // instead of being mapped and zero-filled afresh. Pictures larger than this still get
    // memory of their own, returned at once, so the peak stays that of the frames in flight.
    constexpr int kReusedBufferBytes = 64 * 1024 * 1024;
    mallopt(M_MMAP_THRESHOLD, kReusedBufferBytes);
    mallopt(M_TRIM_THRESHOLD, 2 * kReusedBufferBytes);

    // A core application is enough: the image plug-ins need one, a display is never used.
    QCoreApplication app(argc, argv);
    tavrel::InstallTranslations(tavrel::Language::FromLocale);
    // Library warnings go into the failure reasons; nothing else is printed on its own.
    tavrel::CaptureLibraryMessages(false);

    // The file system's own names: Qt's decoding would lose any byte that is not UTF-8.
    const tavrel::CliOptions options =
        tavrel::ParseCliArguments(tavrel::ArgumentsFromArgv(argc, argv));
    switch (options.action) {
        case tavrel::CliOptions::Action::ShowHelp:
            std::fputs(tavrel::CliUsage().toUtf8().constData(), stdout);
            return 0;
        case tavrel::CliOptions::Action::ShowVersion:
            PrintLine(stdout, tavrel::CliVersion());
            return 0;
        case tavrel::CliOptions::Action::Fail:
            PrintLine(stderr, QCoreApplication::translate("tavrel",
                                                          "tavrel-gif: %1 (see tavrel-gif --help)")
                                  .arg(options.error));
            return kExitUsage;
        case tavrel::CliOptions::Action::MakeGif:
            break;
    }

    const CodecSession codecs;
    if (!codecs.Started()) {
        PrintLine(stderr, QCoreApplication::translate(
                              "tavrel", "tavrel-gif: the image codecs could not be started"));
        return kExitFailure;
    }

    tavrel::CliProgress progress(stderr, tavrel::CliProgress::StderrIsTerminal(),
                                 static_cast<int>(options.picturePaths.size()));
    // Ctrl+C, a polite kill, a closed terminal or a reader gone from the pipe end the run at
    // once, even in the middle of decoding; the unfinished output is removed on the way.
    static const QByteArray stopped =
        QByteArray(progress.Enabled() ? "\n" : "") +
        QCoreApplication::translate("tavrel", "tavrel-gif: stopped").toUtf8() + '\n';
    tavrel::EndProcessOnStopSignals(stopped.constData());
    const tavrel::GifRunOutcome outcome =
        tavrel::MakeGifFromCommandLine(options, [&](int n, int /*total*/) {
            progress.Frame(n);
            return true;
        });
    progress.Finish();

    if (!outcome.Ok()) {
        const tavrel::GifRunFailure& failure = *outcome.failure;
        PrintLine(stderr, failure.path.isEmpty()
                              ? QStringLiteral("tavrel-gif: %1").arg(failure.reason)
                              : QStringLiteral("tavrel-gif: %1: %2")
                                    .arg(tavrel::ShownFileName(failure.path), failure.reason));
        return kExitFailure;
    }
    return 0;
}
