// The application object: starts the skin and codec layers, runs the main dialog, and shuts
// both layers down again in reverse order.
#pragma once

#include <QStringList>
#include <cstdint>

#include "platform/image_codecs.h"

class CTavrelApp {
public:
    CTavrelApp();
    virtual ~CTavrelApp() = default;
    CTavrelApp(const CTavrelApp&) = delete;
    CTavrelApp& operator=(const CTavrelApp&) = delete;

    // Skins the dialogs, starts the codecs and runs the main dialog until it is closed.
    // Returns 0: the application ends as soon as the dialog has.
    virtual int InitInstance();
    // Shuts the codecs down, then the skin layer; returns the process's exit code.
    virtual int ExitInstance();

    tavrel::CodecStartupInput m_gdiplusInput;
    uintptr_t m_gdiplusToken = 0;
    // Pictures for slots 1, 2, ... once the dialog shows.
    QStringList m_startPictures;
};
