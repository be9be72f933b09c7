#include "gif/output_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

namespace tavrel {
namespace {

// The FileWriteError message of the action, which must raise one.
std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const FileWriteError& error) {
        return error.what();
    }
    return "no FileWriteError";
}

TEST(OutputFile, WritesReachMemoryAndDisk) {
    MemoryOutputFile memory;
    memory.Write("GIF", 3);
    memory.Write(nullptr, 0);
    memory.Write("89a", 3);
    EXPECT_EQ(std::string(memory.Bytes().begin(), memory.Bytes().end()), "GIF89a");

    const std::string path = std::filesystem::temp_directory_path() /
                             ("tavrel-gif-test-" + std::to_string(::getpid()) + ".gif");
    std::ofstream(path) << "an older and longer file at the same path";
    std::vector<char> bytes(70000);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 31);
    }
    StdioOutputFile file(path);
    file.Write(bytes.data(), 5);
    file.Write(bytes.data() + 5, bytes.size() - 5);
    file.Close();
    file.Close();  // a second close does nothing
    EXPECT_NE(ErrorOf([&] { file.Write("x", 1); }).find(path), std::string::npos);

    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::vector<char>(std::istreambuf_iterator<char>(in), {}), bytes);
    std::filesystem::remove(path);
}

TEST(OutputFile, FailuresRaiseWithPathAndReason) {
    const std::string missing = std::filesystem::temp_directory_path() / "tavrel-no-such/a.gif";
    const std::string onCreate = ErrorOf([&] { StdioOutputFile file(missing); });
    EXPECT_NE(onCreate.find(missing + ": " + std::strerror(ENOENT)), std::string::npos) << onCreate;

    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    // /dev/full opens, then fails every write with ENOSPC: a big write fails at once, a
    // small one stays in the stdio buffer and must fail at Close, not pass as written.
    const std::vector<char> big(1 << 20);
    for (std::size_t size : {big.size(), std::size_t{6}}) {
        const std::string error = ErrorOf([&] {
            StdioOutputFile file("/dev/full");
            file.Write(big.data(), size);
            file.Close();
        });
        EXPECT_NE(error.find(std::string("/dev/full: ") + std::strerror(ENOSPC)), std::string::npos)
            << error;
    }
}

}  // namespace
}  // namespace tavrel
