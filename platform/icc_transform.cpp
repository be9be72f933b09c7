#include "platform/icc_transform.h"

#include <lcms2.h>

#include <QtGlobal>

namespace tavrel {
namespace {

// QImage::Format_RGB32 in memory: B, G, R, A on a little-endian machine.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr cmsUInt32Number kQtRgb32 = TYPE_BGRA_8;
#else
constexpr cmsUInt32Number kQtRgb32 = TYPE_ARGB_8;
#endif

cmsUInt32Number LcmsType(IccPixels input) {
    switch (input) {
        case IccPixels::kRgb32:
            return kQtRgb32;
        case IccPixels::kCmyk:
            return TYPE_CMYK_8;
        case IccPixels::kCmykAdobeInverted:
            return TYPE_CMYK_8_REV;
    }
    return 0;
}

cmsColorSpaceSignature ColourSpaceFor(IccPixels input) {
    return input == IccPixels::kRgb32 ? cmsSigRgbData : cmsSigCmykData;
}

cmsHPROFILE OpenProfile(const QByteArray& bytes) {
    return cmsOpenProfileFromMem(bytes.constData(), static_cast<cmsUInt32Number>(bytes.size()));
}

}  // namespace

IccToSrgb::IccToSrgb(const QByteArray& profile, IccPixels input) {
    cmsHPROFILE from = OpenProfile(profile);
    if (!from) {
        return;
    }
    if (cmsGetColorSpace(from) == ColourSpaceFor(input)) {
        cmsHPROFILE srgb = cmsCreate_sRGBProfile();
        // Colorimetric, as Qt converts its own colour spaces. The alpha of RGB pixels passes
        // through; CMYK leaves the fourth byte alone.
        const cmsUInt32Number flags = input == IccPixels::kRgb32 ? cmsFLAGS_COPY_ALPHA : 0;
        transform_ = cmsCreateTransform(from, LcmsType(input), srgb, kQtRgb32,
                                        INTENT_RELATIVE_COLORIMETRIC, flags);
        cmsCloseProfile(srgb);
    }
    cmsCloseProfile(from);
}

IccToSrgb::~IccToSrgb() {
    if (transform_) {
        cmsDeleteTransform(transform_);
    }
}

void IccToSrgb::Row(const void* in, void* out, int pixels) const {
    cmsDoTransform(transform_, in, out, static_cast<cmsUInt32Number>(pixels));
}

}  // namespace tavrel
