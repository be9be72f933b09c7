// The dialog templates: the main dialog and the About box, positions in dialog units. Texts
// are in English; the dialogs show them in the window's language.
#include <QtGlobal>
#include <stdexcept>

#include "res/resources.h"

namespace tavrel {
namespace {

using style::kBitmap, style::kBorder, style::kCenter, style::kChild, style::kDefPushButton,
    style::kDropDownList, style::kGroup, style::kGroupBox, style::kIcon, style::kLeft,
    style::kNoPrefix, style::kReadOnly, style::kSort, style::kTabStop, style::kVisible,
    style::kVScroll, style::kAutoHScroll;

constexpr uint32_t kShown = kChild | kVisible;

ControlTemplate Button(int id, const char* text, uint32_t extra, int x, int y, int cx, int cy) {
    return {id, ControlClass::Button, QString::fromUtf8(text), kShown | extra, x, y, cx, cy};
}

ControlTemplate Static(int id, const char* text, uint32_t extra, int x, int y, int cx, int cy) {
    return {id, ControlClass::Static, QString::fromUtf8(text), kShown | extra, x, y, cx, cy};
}

DialogTemplate MakeMainDialog() {
    DialogTemplate t;
    t.id = IDD_TAVREL_DIALOG;
    t.caption = QString::fromUtf8(QT_TR_NOOP("Animation"));
    t.cx = 425;
    t.cy = 211;
    t.style = style::kPopup | kVisible | style::kCaption | style::kSysMenu | style::kModalFrame;
    t.exStyle = style::kExAppWindow;
    t.fontName = QString::fromUtf8("微软雅黑");
    t.pointSize = 9;
    t.weight = 700;
    t.charset = 134;
    const uint32_t picture = kBitmap | kTabStop;
    const uint32_t command = kDefPushButton | kTabStop;
    t.controls = {
        Button(1008, QT_TR_NOOP("Picture 1"), picture, 23, 25, 60, 67),
        Button(1009, QT_TR_NOOP("Picture 2"), picture, 103, 25, 60, 67),
        Button(1010, QT_TR_NOOP("Picture 3"), picture, 182, 25, 60, 67),
        Button(1011, QT_TR_NOOP("Picture 4"), picture, 262, 25, 60, 67),
        Button(1012, QT_TR_NOOP("Picture 5"), picture, 341, 25, 60, 67),
        {1015, ControlClass::ComboBox, QString(),
         kShown | kDropDownList | kSort | kVScroll | kTabStop, 62, 128, 48, 30},
        Button(4, QT_TR_NOOP("Preview"), command, 250, 122, 62, 21),
        Button(2, QT_TR_NOOP("Make GIF"), command, 250, 157, 62, 21),
        Button(3, QT_TR_NOOP("Clear"), command, 159, 122, 62, 21),
        {1007, ControlClass::Edit, QString(),
         kShown | kBorder | kReadOnly | kAutoHScroll | kTabStop, 62, 161, 158, 12},
        Static(-1, QT_TR_NOOP("Speed:"), kCenter | kGroup, 23, 129, 38, 9),
        Button(-1, QT_TR_NOOP("Animation"), kGroupBox, 13, 106, 399, 83),
        Button(-1, QT_TR_NOOP("Pictures"), kGroupBox, 13, 12, 399, 88),
        Static(-1, QT_TR_NOOP("GIF file:"), kCenter | kGroup, 24, 163, 36, 9),
        Button(1002, QT_TR_NOOP("Preview"), picture, 339, 115, 60, 67),
        Static(1019, QT_TR_NOOP("Picture formats: jpg, bmp, png."), kLeft | kGroup, 13, 198, 171,
               8),
        Button(1020, QT_TR_NOOP("Settings..."), kTabStop, 350, 194, 62, 14),
    };
    return t;
}

DialogTemplate MakeAboutBox() {
    DialogTemplate t;
    t.id = IDD_ABOUTBOX;
    t.caption = QString::fromUtf8(QT_TR_NOOP("About Tavrel"));
    t.cx = 259;
    t.cy = 93;
    t.style = style::kPopup | style::kCaption | style::kSysMenu | style::kModalFrame;
    t.fontName = QString::fromUtf8("宋体");
    t.pointSize = 9;
    t.controls = {
        Static(-1, "", kIcon, 23, 17, 21, 21),
        Static(-1, QT_TR_NOOP("Tavrel %1"), kNoPrefix | kGroup, 64, 30, 99, 8),
        Static(-1, QT_TR_NOOP("Copyright (C) 2026"), kGroup, 64, 48, 75, 8),
        Button(1, QT_TR_NOOP("OK"), kDefPushButton | kGroup | kTabStop, 175, 28, 54, 35),
        Static(-1, "https://tavrel.example.org", kGroup, 64, 69, 116, 8),
    };
    return t;
}

}  // namespace

const DialogTemplate& LoadDialogTemplate(int templateId) {
    static const DialogTemplate mainDialog = MakeMainDialog();
    static const DialogTemplate aboutBox = MakeAboutBox();
    switch (templateId) {
        case IDD_TAVREL_DIALOG:
            return mainDialog;
        case IDD_ABOUTBOX:
            return aboutBox;
        default:
            throw std::out_of_range("no dialog template with that number");
    }
}

}  // namespace tavrel
