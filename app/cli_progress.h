// "frame n of N" on one line of a terminal, rewritten in place as the frames go by.
#pragma once

#include <cstdio>

namespace tavrel {

// Runs shorter than this are over too soon for a progress line to help.
inline constexpr int kProgressMinFrames = 4;

class CliProgress {
public:
    // Shows progress only when enabled and total is at least kProgressMinFrames.
    CliProgress(std::FILE* stream, bool enabled, int total);
    ~CliProgress();  // ends the line if one is showing
    CliProgress(const CliProgress&) = delete;
    CliProgress& operator=(const CliProgress&) = delete;

    // Frame n (1-based) is being made.
    void Frame(int n);
    // Ends the progress line, so that whatever follows starts on a line of its own.
    void Finish();

    // Progress belongs on stderr, and only when a person is watching it.
    static bool StderrIsTerminal();

    // Whether the progress line is shown at all.
    bool Enabled() const { return enabled_; }

private:
    std::FILE* stream_;
    bool enabled_;
    int total_;
    bool lineOpen_ = false;
};

}  // namespace tavrel
