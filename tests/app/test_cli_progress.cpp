// The progress line: rewritten in place on a terminal, silent elsewhere and for short runs.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/cli_progress.h"

namespace {

// Runs body with a CliProgress writing into a memory stream and returns what it wrote.
template <typename Body>
std::string Captured(bool enabled, int total, Body body) {
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* stream = open_memstream(&buffer, &size);
    {
        tavrel::CliProgress progress(stream, enabled, total);
        body(progress);
    }
    std::fclose(stream);
    std::string text(buffer, size);
    std::free(buffer);
    return text;
}

TEST(CliProgress, CountsFramesOnOneLineAndEndsIt) {
    const std::string text = Captured(true, 5, [](tavrel::CliProgress& p) {
        for (int n = 1; n <= 5; ++n)
            p.Frame(n);
        p.Finish();
        p.Finish();  // a second finish adds nothing
    });
    EXPECT_EQ(text, "\rframe 1 of 5\rframe 2 of 5\rframe 3 of 5\rframe 4 of 5\rframe 5 of 5\n");
}

TEST(CliProgress, EndsTheLineWhenTheRunStopsEarly) {
    EXPECT_EQ(Captured(true, 20, [](tavrel::CliProgress& p) { p.Frame(1); }), "\rframe 1 of 20\n");
}

TEST(CliProgress, SilentWhenNotOnATerminalOrForAFewFrames) {
    auto allFrames = [](int total) {
        return [total](tavrel::CliProgress& p) {
            for (int n = 1; n <= total; ++n)
                p.Frame(n);
            p.Finish();
        };
    };
    EXPECT_EQ(Captured(false, 20, allFrames(20)), "");
    EXPECT_EQ(Captured(true, 3, allFrames(3)), "");
    EXPECT_NE(Captured(true, 4, allFrames(4)), "");
}

}  // namespace
