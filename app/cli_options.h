// The command line of tavrel-gif: what it asks for, or why it cannot be understood.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

#include "frames/frame_options.h"

namespace tavrel {

inline constexpr uint16_t kMinCliDelay = 2;
inline constexpr uint16_t kMaxCliDelay = 65535;

struct CliOptions {
    enum class Action { MakeGif, ShowHelp, ShowVersion, Fail };
    Action action = Action::Fail;

    // Set for MakeGif.
    QString outputPath;
    QStringList picturePaths;
    uint16_t delay = 0;        // hundredths of a second per frame
    FrameOptions frame;        // size, fit, background and quality of the frames
    int fadeCentiseconds = 0;  // crossfade from each picture into the next; 0: none
    uint64_t maxBytes = 0;     // the GIF is never larger; 0: no limit

    // Set for Fail: one line, without the program name.
    QString error;
};

// Reads the arguments (the program name first, as QCoreApplication::arguments() gives them).
CliOptions ParseCliArguments(const QStringList& arguments);

// The usage text that --help prints.
QString CliUsage();

// The line that --version prints.
QString CliVersion();

}  // namespace tavrel
