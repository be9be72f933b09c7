// A hook through which tests watch the order of platform calls (skin layer, codecs).
#pragma once

#include <QString>
#include <functional>

namespace tavrel {

using PlatformTraceHook = std::function<void(const QString&)>;

// Installs the hook; an empty function turns tracing off.
void SetPlatformTrace(PlatformTraceHook hook);

// Reports one call, such as "SkinStart Tavrel", to the hook if one is installed.
void PlatformTrace(const QString& line);

}  // namespace tavrel
