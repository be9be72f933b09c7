// The frames of a looping slide show with crossfades, in the order they are shown: each
// picture's own frame, then the fade into the next picture; after the last picture, the
// fade into the first, so the loop has no jump. Pictures come in one at a time; besides the
// screen as shown, only the first picture and the one before are kept, so memory stays
// bounded whatever the number of pictures.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "imaging/placed_frame.h"
#include "imaging/shown_picture.h"
#include "imaging/true_colour_view.h"

namespace tavrel {

class CrossfadeSequence {
public:
    using Sink = std::function<void(PlacedFrame&&)>;

    // Fades of fadeDelay hundredths of a second made of steps blended frames (at least 1):
    // stepDelay hundredths each, but the last takes what is left of the fade (at least 2,
    // as viewers show shorter frames for longer), so a fade lasts fadeDelay whatever its
    // rounding. Each picture's own frame is shown for delay. sink receives every frame in
    // order. threads: how many threads the fades may use (1: only the caller's).
    CrossfadeSequence(int32_t steps, uint16_t stepDelay, int32_t fadeDelay, uint16_t delay,
                      Sink sink, int threads = 1);

    // The next picture: its fitted true-colour pixels (copied) and its own frame, made as it
    // would be without a fade. Every picture has the first one's size. Throws std::bad_alloc
    // when memory runs out.
    void AddPicture(const TrueColourView& picture, IndexedFrame ownFrame);

    // The fade from the last picture into the first; nothing when fewer than two came.
    void Finish();

private:
    struct Kept {
        std::vector<uint8_t> pixels;
        TrueColourView view;
    };
    static void Keep(const TrueColourView& picture, Kept& kept);
    void Fade(const TrueColourView& from, const TrueColourView& to);

    int32_t m_steps;
    uint16_t m_stepDelay;
    uint16_t m_lastStepDelay;
    uint16_t m_delay;
    Sink m_sink;
    int m_threads;
    int32_t m_count = 0;
    Kept m_first;
    Kept m_previous;
    ShownPicture m_shown;
};

}  // namespace tavrel
