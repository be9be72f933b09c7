// The command line of tavrel-gif: delays, the forms of -o, and names that look like options.
#include <gtest/gtest.h>

#include "app/cli_options.h"

using tavrel::CliOptions;

namespace {

CliOptions Parse(std::initializer_list<const char*> arguments) {
    QStringList list{QStringLiteral("tavrel-gif")};
    for (const char* argument : arguments) {
        list.append(QString::fromUtf8(argument));
    }
    return tavrel::ParseCliArguments(list);
}

TEST(CliOptions, DelayComesFromTheSpeedUnlessGivenFromTwoTo65535) {
    EXPECT_EQ(Parse({"-o", "a.gif", "p.jpg"}).delay, 80);
    EXPECT_EQ(Parse({"--speed=slow", "-o", "a.gif", "p.jpg"}).delay, 120);
    EXPECT_EQ(Parse({"--delay", "2", "--speed", "slow", "-o", "a.gif", "p.jpg"}).delay, 2);
    EXPECT_EQ(Parse({"--delay=65535", "-o", "a.gif", "p.jpg"}).delay, 65535);
    for (const char* bad : {"1", "65536", "99999", "-5", "+5", " 5", "5s", ""}) {
        const CliOptions options = Parse({"--delay", bad, "-o", "a.gif", "p.jpg"});
        EXPECT_EQ(options.action, CliOptions::Action::Fail) << "delay '" << bad << "'";
    }
}

TEST(CliOptions, OutputFormsPictureOrderAndDoubleDash) {
    for (const CliOptions& options :
         {Parse({"-o", "out.gif", "b.png", "a.jpg"}), Parse({"b.png", "-oout.gif", "a.jpg"}),
          Parse({"b.png", "a.jpg", "--output=out.gif"})}) {
        ASSERT_EQ(options.action, CliOptions::Action::MakeGif) << options.error.toStdString();
        EXPECT_EQ(options.outputPath, QStringLiteral("out.gif"));
        EXPECT_EQ(options.picturePaths, (QStringList{"b.png", "a.jpg"}));
    }
    const CliOptions options = Parse({"-o", "x.gif", "--", "--speed", "-o"});
    EXPECT_EQ(options.picturePaths, (QStringList{"--speed", "-o"}));
    EXPECT_EQ(Parse({"-o", "", "p.jpg"}).action, CliOptions::Action::Fail);
    EXPECT_EQ(Parse({"p.jpg", "-o"}).action, CliOptions::Action::Fail);
    EXPECT_EQ(Parse({"p.jpg", "--help"}).action, CliOptions::Action::ShowHelp);
}

}  // namespace
