#include "gif/output_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tavrel {
namespace {

namespace fs = std::filesystem;

class OutputFileTest : public testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("tavrel-output-file-" +
                   std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                   testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path folder_;
};

std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const FileWriteError& error) {
        return error.what();
    }
    return "";
}

TEST(MemoryOutputFile, AppendsEveryWrite) {
    MemoryOutputFile file;
    file.Write("GIF", 3);
    file.Write(nullptr, 0);
    file.Write("89a", 3);
    const std::string text(file.Bytes().begin(), file.Bytes().end());
    EXPECT_EQ(text, "GIF89a");
}

TEST_F(OutputFileTest, StdioFileHoldsWhatWasWritten) {
    const std::string path = (folder_ / "out.gif").string();
    {
        std::ofstream old(path);
        old << "an older and longer file at the same path";
    }
    std::vector<uint8_t> bytes(70000);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<uint8_t>(i * 31);
    }
    StdioOutputFile file(path);
    file.Write(bytes.data(), 5);
    file.Write(bytes.data() + 5, bytes.size() - 5);
    file.Close();
    file.Close();  // a second close does nothing

    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> read((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    EXPECT_EQ(read, bytes);
}

TEST_F(OutputFileTest, CreatingInAMissingFolderRaisesWithPathAndReason) {
    const std::string path = (folder_ / "missing" / "out.gif").string();
    const std::string message = ErrorOf([&] { StdioOutputFile file(path); });
    EXPECT_NE(message.find(path), std::string::npos) << message;
    EXPECT_NE(message.find(std::strerror(ENOENT)), std::string::npos) << message;
}

TEST_F(OutputFileTest, WriteAfterCloseRaises) {
    StdioOutputFile file((folder_ / "out.gif").string());
    file.Close();
    EXPECT_THROW(file.Write("x", 1), FileWriteError);
}

// /dev/full accepts the open and fails every write with ENOSPC.
TEST(StdioOutputFile, FullDeviceRaisesOnWriteOrClose) {
    if (!fs::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    const std::vector<uint8_t> big(1 << 20);
    const std::string onWrite = ErrorOf([&] {
        StdioOutputFile file("/dev/full");
        file.Write(big.data(), big.size());
    });
    EXPECT_NE(onWrite.find(std::strerror(ENOSPC)), std::string::npos) << onWrite;
    EXPECT_NE(onWrite.find("/dev/full"), std::string::npos) << onWrite;

    // A small write stays in the stdio buffer; Close must not report it as written.
    const std::string onClose = ErrorOf([&] {
        StdioOutputFile file("/dev/full");
        file.Write("GIF89a", 6);
        file.Close();
    });
    EXPECT_NE(onClose.find(std::strerror(ENOSPC)), std::string::npos) << onClose;
}

}  // namespace
}  // namespace tavrel
