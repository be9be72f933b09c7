// The one place a GIF is made, for the window and the command line alike: a list of picture
// sources, the settings of the whole animation and an output go in; a complete GIF comes out,
// or nothing at all. Nothing here touches widgets, so a run may go on a worker thread.
#pragma once

#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "frames/frame_options.h"

namespace tavrel {

// Everything that decides how the animation is made. The defaults give the window's GIF at
// medium speed: 530 x 530 stretched frames, octree colours, 0.8 s a picture, no fade, no
// size limit.
struct GifSettings {
    FrameOptions frame;        // size, fit, background and quality of every frame
    uint16_t delay = 80;       // hundredths of a second each picture is shown
    int fadeCentiseconds = 0;  // crossfade from each picture into the next; 0: none
    uint64_t maxBytes = 0;     // the file is never larger than this; 0: no limit
    // Pictures made at a time (at least one is used). One more than the two cores of a
    // common machine: with two, the last of an odd number of pictures is made while the
    // other core waits.
    int threads = 3;
};

// A fade is made of blended frames shown 5 hundredths of a second each: max(1, round(F / 5))
// of them for a fade of F hundredths (the last one takes what is left, so the fade lasts F);
// none for 0.
inline constexpr int kFadeStepCentiseconds = 5;
inline constexpr int kMaxFadeCentiseconds = 1000;
inline int FadeFrameCount(int fadeCentiseconds) {
    return fadeCentiseconds <= 0 ? 0
                                 : std::max(1, (fadeCentiseconds + kFadeStepCentiseconds / 2) /
                                                   kFadeStepCentiseconds);
}

// Where one picture comes from: a picture file the user named (decoded by the codec layer),
// or a staged BMP copy the window made of its slot (loaded as the window stages it).
struct PictureSource {
    enum class Kind { kPictureFile, kStagedCopy };
    QString path;
    Kind kind = Kind::kPictureFile;
};

// How a run reports and is stopped. Both callbacks are called on the run's own thread.
struct GifRunControl {
    // Before picture n (1-based) of total is made into its frames; returning false stops the
    // run there and leaves no file.
    std::function<bool(int n, int total)> onPicture;
    // Files the output must not be (the user's pictures), under any name.
    QStringList protectedInputs;
};

struct GifRunFailure {
    enum class Kind {
        kPicture,      // a source could not be read or made into a frame
        kOutput,       // the output could not be chosen, opened, written or committed
        kOutOfMemory,  // memory ran out
        kStopped,      // onPicture returned false
        kTooLarge,     // even the smallest file the settings allow is above maxBytes
    };
    Kind kind = Kind::kPicture;
    int source = -1;  // index into the sources for kPicture, else -1
    QString path;     // the picture or the output at fault; empty when neither
    QString reason;   // one translated sentence
};

struct GifRunSummary {
    uint64_t bytes = 0;  // the size of the GIF written
    int frames = 0;      // frames in it (pictures plus fade frames)
};

struct GifRunOutcome {
    std::optional<GifRunFailure> failure;  // empty on success
    GifRunSummary summary;                 // set on success
    bool Ok() const { return !failure.has_value(); }
};

// Writes the whole looping GIF of sources, in order, to outputPath: a regular file (replaced
// only when complete; on any failure or stop an earlier file there stays as it was and no
// temporary file is left), a FIFO or character device (written into), or "-" for standard
// output. The codec layer must be started.
GifRunOutcome MakeGif(const std::vector<PictureSource>& sources, const GifSettings& settings,
                      const QString& outputPath, const GifRunControl& control = {});

}  // namespace tavrel
