// The command line of tavrel-gif: speeds and delays, the forms of -o, and the mistakes a
// user makes, each of which must come back as one readable line.
#include <gtest/gtest.h>

#include "app/cli_options.h"

using tavrel::CliOptions;
using tavrel::ParseCliArguments;

namespace {

CliOptions Parse(std::initializer_list<const char*> arguments) {
    QStringList list{QStringLiteral("tavrel-gif")};
    for (const char* argument : arguments)
        list.append(QString::fromUtf8(argument));
    return ParseCliArguments(list);
}

TEST(CliOptions, SpeedsGiveTheDialogsDelaysAndMediumIsTheDefault) {
    EXPECT_EQ(Parse({"-o", "a.gif", "p.jpg"}).delay, 80);
    EXPECT_EQ(Parse({"--speed", "slow", "-o", "a.gif", "p.jpg"}).delay, 120);
    EXPECT_EQ(Parse({"--speed=medium", "-o", "a.gif", "p.jpg"}).delay, 80);
    EXPECT_EQ(Parse({"--speed", "fast", "-o", "a.gif", "p.jpg"}).delay, 40);
}

TEST(CliOptions, DelayOverridesSpeedWithinTwoTo65535) {
    EXPECT_EQ(Parse({"--delay", "33", "--speed", "slow", "-o", "a.gif", "p.jpg"}).delay, 33);
    EXPECT_EQ(Parse({"--delay=2", "-o", "a.gif", "p.jpg"}).delay, 2);
    EXPECT_EQ(Parse({"--delay", "65535", "-o", "a.gif", "p.jpg"}).delay, 65535);
    for (const char* bad : {"1", "0", "65536", "99999", "-5", "+5", " 5", "5s", "", "1e3"}) {
        const CliOptions options = Parse({"--delay", bad, "-o", "a.gif", "p.jpg"});
        EXPECT_EQ(options.action, CliOptions::Action::Fail) << "delay '" << bad << "'";
        EXPECT_TRUE(options.error.contains(QStringLiteral("--delay")))
            << options.error.toStdString();
    }
}

TEST(CliOptions, OutputFormsAndPictureOrder) {
    for (auto options : {Parse({"-o", "out.gif", "b.png", "a.jpg", "c.bmp"}),
                         Parse({"b.png", "-oout.gif", "a.jpg", "c.bmp"}),
                         Parse({"b.png", "a.jpg", "--output=out.gif", "c.bmp"}),
                         Parse({"b.png", "a.jpg", "c.bmp", "--output", "out.gif"})}) {
        ASSERT_EQ(options.action, CliOptions::Action::MakeGif) << options.error.toStdString();
        EXPECT_EQ(options.outputPath, QStringLiteral("out.gif"));
        EXPECT_EQ(options.picturePaths,
                  (QStringList{QStringLiteral("b.png"), QStringLiteral("a.jpg"),
                               QStringLiteral("c.bmp")}));
    }
}

TEST(CliOptions, AnyNumberOfPicturesAndNamesThatLookLikeOptionsAfterDoubleDash) {
    QStringList arguments{QStringLiteral("tavrel-gif"), QStringLiteral("-o"),
                          QStringLiteral("x.gif")};
    for (int i = 0; i < 40; ++i)
        arguments.append(QStringLiteral("p%1.png").arg(i));
    EXPECT_EQ(ParseCliArguments(arguments).picturePaths.size(), 40);

    const CliOptions options = Parse({"-o", "x.gif", "--", "--speed", "-o", "测试 图片.png"});
    ASSERT_EQ(options.action, CliOptions::Action::MakeGif);
    EXPECT_EQ(options.picturePaths, (QStringList{QStringLiteral("--speed"), QStringLiteral("-o"),
                                                 QStringLiteral("测试 图片.png")}));
    EXPECT_EQ(options.delay, 80);
}

TEST(CliOptions, HelpAndVersionWinOverMissingArguments) {
    EXPECT_EQ(Parse({"--help"}).action, CliOptions::Action::ShowHelp);
    EXPECT_EQ(Parse({"-h"}).action, CliOptions::Action::ShowHelp);
    EXPECT_EQ(Parse({"p.jpg", "--help"}).action, CliOptions::Action::ShowHelp);
    EXPECT_EQ(Parse({"--version"}).action, CliOptions::Action::ShowVersion);
    EXPECT_EQ(tavrel::CliVersion(), QStringLiteral("tavrel-gif 1.0.0"));
    EXPECT_TRUE(tavrel::CliUsage().startsWith(QStringLiteral("Usage: tavrel-gif ")));
}

TEST(CliOptions, MistakesComeBackAsOneLineNamingTheProblem) {
    struct Case {
        std::initializer_list<const char*> arguments;
        const char* mentions;
    };
    const Case cases[] = {
        {{}, "no pictures"},
        {{"-o", "a.gif"}, "no pictures"},
        {{"p.jpg"}, "-o"},
        {{"--speed", "turbo", "-o", "a.gif", "p.jpg"}, "turbo"},
        {{"--speed", "Slow", "-o", "a.gif", "p.jpg"}, "Slow"},
        {{"--colour", "-o", "a.gif", "p.jpg"}, "--colour"},
        {{"-x", "-o", "a.gif", "p.jpg"}, "-x"},
        {{"p.jpg", "-o"}, "-o"},
        {{"p.jpg", "--delay"}, "--delay"},
        {{"-o", "", "p.jpg"}, "output"},
        {{"--output=", "p.jpg"}, "output"},
    };
    for (const Case& c : cases) {
        const CliOptions options = Parse(c.arguments);
        EXPECT_EQ(options.action, CliOptions::Action::Fail) << c.mentions;
        EXPECT_TRUE(options.error.contains(QString::fromUtf8(c.mentions)))
            << options.error.toStdString();
        EXPECT_FALSE(options.error.contains(QLatin1Char('\n')));
    }
}

}  // namespace
