// The run's middle stage: the pictures, in order, into the frames of the animation. Today
// each picture is one frame shown for the settings' delay; frames made between two
// pictures are made here, from the pictures on either side.
#pragma once

#include "frames/gif_encoding.h"
#include "frames/gif_run.h"
#include "frames/picture_stage.h"

namespace tavrel {

class FrameSequence {
public:
    FrameSequence(const GifSettings& settings, GifFrameSink& sink)
        : settings_(settings), sink_(sink) {}

    // What the sequence needs of each picture under these settings.
    static PictureNeeds Needs(const GifSettings& settings);

    // The next picture in order.
    void Add(MadePicture picture);
    // After the last picture.
    void Finish();

private:
    const GifSettings& settings_;
    GifFrameSink& sink_;
};

}  // namespace tavrel
