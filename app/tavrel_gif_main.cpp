// tavrel-gif: makes the dialog's looping GIF from pictures named on the command line.
#include <QCoreApplication>
#include <QString>
#include <csignal>
#include <cstdint>
#include <cstdio>

#include "app/cli_make_gif.h"
#include "app/cli_options.h"
#include "app/cli_progress.h"
#include "platform/image_codecs.h"
#include "platform/translations.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kExitInterrupted = 130;  // 128 + SIGINT, as shells report it

// Ctrl+C or a polite kill stops the run between frames, so the unfinished output is removed
// on the way out instead of being left behind.
volatile std::sig_atomic_t g_stopRequested = 0;

extern "C" void RequestStop(int /*signal*/) {
    g_stopRequested = 1;
}

void PrintLine(std::FILE* stream, const QString& text) {
    std::fputs(text.toUtf8().constData(), stream);
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
    // A core application is enough: the image plug-ins need one, a display is never used.
    QCoreApplication app(argc, argv);
    tavrel::InstallTranslations(tavrel::Language::FromLocale);

    const tavrel::CliOptions options = tavrel::ParseCliArguments(QCoreApplication::arguments());
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
    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
    const tavrel::MakeGifResult result = tavrel::MakeGifFromPictures(
        options.picturePaths, options.outputPath, options.delay, options.frame, [&](int n) {
            progress.Frame(n);
            return g_stopRequested == 0;
        });
    progress.Finish();

    if (g_stopRequested != 0 && !result.ok) {
        PrintLine(stderr, QCoreApplication::translate("tavrel",
                                                      "tavrel-gif: interrupted, nothing written"));
        return kExitInterrupted;
    }
    if (!result.ok) {
        PrintLine(stderr, QStringLiteral("tavrel-gif: %1: %2").arg(result.path, result.reason));
        return kExitFailure;
    }
    return 0;
}
