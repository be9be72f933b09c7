#include "imaging/crossfade_sequence.h"

#include <algorithm>
#include <cstring>
#include <future>
#include <system_error>
#include <utility>

#include "imaging/fade_frames.h"

namespace tavrel {
namespace {

// Viewers show frames of 0 or 1 hundredths for much longer (often a tenth of a second).
constexpr int32_t kShortestDelay = 2;

}  // namespace

CrossfadeSequence::CrossfadeSequence(int32_t steps, uint16_t stepDelay, int32_t fadeDelay,
                                     uint16_t delay, Sink sink, int threads)
    : m_steps(steps),
      m_stepDelay(stepDelay),
      m_lastStepDelay(static_cast<uint16_t>(
          std::clamp(fadeDelay - (steps - 1) * int32_t{stepDelay}, kShortestDelay, 65535))),
      m_delay(delay),
      m_sink(std::move(sink)),
      m_threads(threads) {}

void CrossfadeSequence::Keep(const TrueColourView& picture, Kept& kept) {
    const std::size_t rowBytes = 4 * static_cast<std::size_t>(picture.width);
    kept.pixels.resize(rowBytes * static_cast<std::size_t>(picture.height));
    for (int32_t y = 0; y < picture.height; ++y) {
        std::memcpy(kept.pixels.data() + rowBytes * static_cast<std::size_t>(y), picture.Row(y),
                    rowBytes);
    }
    kept.view = TrueColourView{kept.pixels.data(), picture.width, picture.height,
                               static_cast<std::ptrdiff_t>(rowBytes)};
}

void CrossfadeSequence::Fade(const TrueColourView& from, const TrueColourView& to) {
    const CrossfadeFrames fade(from, to, m_steps);
    // The next frame's plan is made while this one is chosen (on another thread when there
    // are two); the frames are the same either way.
    bool ahead = m_threads > 1;
    const auto plan = [&](int32_t step) {
        if (ahead) {
            try {
                return std::async(std::launch::async, &CrossfadeFrames::Plan, &fade, step);
            } catch (const std::system_error&) {
                ahead = false;  // no thread to be had: the plans are made in turn
            }
        }
        return std::async(std::launch::deferred, &CrossfadeFrames::Plan, &fade, step);
    };
    std::future<FadeFramePlan> next = plan(1);
    for (int32_t step = 1; step <= m_steps; ++step) {
        const FadeFramePlan current = next.get();
        if (step < m_steps) {
            next = plan(step + 1);
        }
        PlacedFrame frame = CrossfadeFrames::Frame(current, m_shown);
        frame.delay = step == m_steps ? m_lastStepDelay : m_stepDelay;
        m_sink(std::move(frame));
    }
}

void CrossfadeSequence::AddPicture(const TrueColourView& picture, IndexedFrame ownFrame) {
    if (m_count == 0) {
        Keep(picture, m_first);
        m_shown.width = picture.width;
        m_shown.height = picture.height;
        m_shown.pixels.assign(
            static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height),
            Rgb{});
    } else {
        Fade(m_count == 1 ? m_first.view : m_previous.view, picture);
        Keep(picture, m_previous);
    }
    ++m_count;
    PlacedFrame own;
    own.frame = std::move(ownFrame);
    own.delay = m_delay;
    DrawFrame(own, m_shown);
    m_sink(std::move(own));
}

void CrossfadeSequence::Finish() {
    if (m_count >= 2) {
        Fade(m_previous.view, m_first.view);
    }
}

}  // namespace tavrel
