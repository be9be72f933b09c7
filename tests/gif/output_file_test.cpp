#include "gif/output_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace tavrel {
namespace {

// /dev/full opens, then fails every write with ENOSPC: a big write fails at once, a small
// one stays in the stdio buffer and must fail at Close, not pass as written.
TEST(OutputFile, FailingWritesRaiseWithPathAndReason) {
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    const std::vector<char> big(1 << 20);
    for (std::size_t size : {big.size(), std::size_t{6}}) {
        try {
            StdioOutputFile file("/dev/full");
            file.Write(big.data(), size);
            file.Close();
            ADD_FAILURE() << "no FileWriteError for " << size << " bytes";
        } catch (const FileWriteError& error) {
            const std::string message = error.what();
            EXPECT_NE(message.find(std::string("/dev/full: ") + std::strerror(ENOSPC)),
                      std::string::npos)
                << message;
        }
    }
}

}  // namespace
}  // namespace tavrel
