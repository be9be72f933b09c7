// Conversions into sRGB through littleCMS, for the colour profiles Qt's own colour spaces do
// not read (CMYK, and RGB profiles built from lookup tables).
#pragma once

#include <QByteArray>

namespace tavrel {

// How the pixels handed to an IccToSrgb are laid out, one byte a channel.
enum class IccPixels {
    kRgb32,             // QImage::Format_RGB32 and Format_ARGB32 (alpha kept as it is)
    kCmyk,              // C, M, Y, K as ink amounts
    kCmykAdobeInverted  // C, M, Y, K stored as 255 minus the amount (Adobe's JPEG convention)
};

// A transform from a profile's colour space into sRGB, written as QImage::Format_RGB32 rows.
class IccToSrgb {
public:
    IccToSrgb(const QByteArray& profile, IccPixels input);
    ~IccToSrgb();
    IccToSrgb(const IccToSrgb&) = delete;
    IccToSrgb& operator=(const IccToSrgb&) = delete;

    // False when the profile cannot be read or does not describe pixels of that layout.
    explicit operator bool() const { return transform_ != nullptr; }

    // Converts `pixels` pixels; in may be out for kRgb32. Other layouts leave each output
    // pixel's fourth byte as it was (fill the rows with 0xFF first).
    void Row(const void* in, void* out, int pixels) const;

private:
    void* transform_ = nullptr;
};

}  // namespace tavrel
