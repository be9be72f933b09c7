// Error diffusion that dithers only where it helps. Each pixel has its own strength: full
// in smooth gradients, where dithering hides banding, weaker in texture and at edges, where
// the dither's own grain is what the eye would see. The error a pixel receives is clamped,
// so that it cannot pile up into blotches where the palette lacks a colour. Serpentine
// Floyd-Steinberg, integer sums: the same on every machine.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "imaging/nearest_colour.h"
#include "imaging/true_colour_view.h"

namespace tavrel {

inline constexpr int32_t kFullStrength = 64;

struct SelectiveDiffusion {
    // Per pixel, top row first: 0 (no dither) to kFullStrength (Floyd-Steinberg).
    std::span<const uint8_t> strength;
    // The most error, in levels per channel, a pixel takes from its neighbours.
    int32_t clampLevels = 24;
    // How much farther (weighted squared distance) than twice the nearest colour's distance
    // a dithered colour may lie from the pixel's own colour.
    int32_t speckleAllowance = 0;
    // Per pixel, top row first: how busy its neighbourhood is (see imaging/texture_map.h).
    std::span<const uint8_t> texture;
    // Keep the previous pixel's index while it is at most runTolerance plus
    // runTolerancePerTexture per level of texture farther (weighted squared distance) than
    // the nearest: longer runs of one index, fewer LZW codes, most where texture masks the
    // coarser grain. Needs texture. Where the texture is below smoothTexture the tolerance
    // makes runs of at most smoothRunLength: longer ones show there as streaks.
    int32_t runTolerance = 0;
    int32_t runTolerancePerTexture = 0;
    int32_t smoothTexture = 0;
    int32_t smoothRunLength = 0;
    // Whether a pixel whose colour the palette holds is dithered like any other (for a
    // picture whose palette is every colour it has: the run tolerance then saves bytes);
    // otherwise it takes its own colour and passes nothing on.
    bool ditherExactColours = false;
    // A fixed pattern per position instead of carried error: a pixel that keeps its colour
    // from one frame to the next keeps its index, so the dither does not crawl.
    bool ordered = false;
};

// One palette index per pixel, top row first. A pixel whose colour is in the palette takes
// it and passes nothing on, so flat areas the palette holds exactly stay flat.
std::vector<uint8_t> DiffuseSelectively(const TrueColourView& picture, NearestColour& nearest,
                                        const SelectiveDiffusion& options);

}  // namespace tavrel
