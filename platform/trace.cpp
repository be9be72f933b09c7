#include "platform/trace.h"

#include <utility>

namespace tavrel {

namespace {
PlatformTraceHook& Hook() {
    static PlatformTraceHook hook;
    return hook;
}
}  // namespace

void SetPlatformTrace(PlatformTraceHook hook) {
    Hook() = std::move(hook);
}

void PlatformTrace(const QString& line) {
    if (Hook()) {
        Hook()(line);
    }
}

}  // namespace tavrel
