// The run's middle stage: the pictures, in order, into the frames of the animation. Without
// a fade each picture is one frame shown for the settings' delay; with one, each picture's
// frame is followed by the blended frames into the next picture (the last into the first),
// made from the fitted pictures on either side.
#pragma once

#include <deque>
#include <memory>

#include "frames/gif_encoding.h"
#include "frames/gif_run.h"
#include "frames/picture_stage.h"
#include "imaging/crossfade_sequence.h"

namespace tavrel {

class FrameSequence {
public:
    FrameSequence(const GifSettings& settings, GifFrameSink& sink);

    // What the sequence needs of each picture under these settings.
    static PictureNeeds Needs(const GifSettings& settings);

    // The next picture in order.
    void Add(MadePicture picture);
    // After the last picture.
    void Finish();

private:
    void AddPlaced(PlacedFrame&& placed);

    const GifSettings& settings_;
    GifFrameSink& sink_;
    std::unique_ptr<CrossfadeSequence> fades_;      // null without a fade
    std::deque<TrueColourPicture> pendingColours_;  // of pictures whose frame is still to come
};

}  // namespace tavrel
