#include "app/cli_progress.h"

#include <unistd.h>

namespace tavrel {

CliProgress::CliProgress(std::FILE* stream, bool enabled, int total)
    : stream_(stream), enabled_(enabled && total >= kProgressMinFrames), total_(total) {}

CliProgress::~CliProgress() {
    Finish();
}

void CliProgress::Frame(int n) {
    if (!enabled_) {
        return;
    }
    // The carriage return overwrites the previous count; the trailing blanks would only
    // matter if a count got shorter, which it never does, so none are needed.
    std::fprintf(stream_, "\rframe %d of %d", n, total_);
    std::fflush(stream_);
    lineOpen_ = true;
}

void CliProgress::Finish() {
    if (!lineOpen_) {
        return;
    }
    std::fputc('\n', stream_);
    std::fflush(stream_);
    lineOpen_ = false;
}

bool CliProgress::StderrIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

}  // namespace tavrel
