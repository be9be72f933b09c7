// The dialog templates: the main dialog and the About box, positions in dialog units.
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
    t.caption = QString::fromUtf8("动画制作");
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
        Button(1008, "图像1", picture, 23, 25, 60, 67),
        Button(1009, "图像2", picture, 103, 25, 60, 67),
        Button(1010, "图像3", picture, 182, 25, 60, 67),
        Button(1011, "图像4", picture, 262, 25, 60, 67),
        Button(1012, "图像5", picture, 341, 25, 60, 67),
        {1015, ControlClass::ComboBox, QString(),
         kShown | kDropDownList | kSort | kVScroll | kTabStop, 62, 128, 48, 30},
        Button(4, "动画预览", command, 250, 122, 62, 21),
        Button(2, "GIF动画生成", command, 250, 157, 62, 21),
        Button(3, "清除图像", command, 159, 122, 62, 21),
        {1007, ControlClass::Edit, QString(),
         kShown | kBorder | kReadOnly | kAutoHScroll | kTabStop, 62, 161, 158, 12},
        Static(-1, "播放速度:", kCenter | kGroup, 23, 129, 38, 9),
        Button(-1, "动画制作", kGroupBox, 13, 106, 399, 83),
        Button(-1, "图像选择", kGroupBox, 13, 12, 399, 88),
        Static(-1, "动画路径:", kCenter | kGroup, 24, 163, 36, 9),
        Button(1002, "动画预览", picture, 339, 115, 60, 67),
        Static(1019, "图像格式支持: jpg, bmp, png.", kLeft | kGroup, 13, 198, 171, 8),
    };
    return t;
}

DialogTemplate MakeAboutBox() {
    DialogTemplate t;
    t.id = IDD_ABOUTBOX;
    t.caption = QString::fromUtf8("关于 Oskevi");
    t.cx = 259;
    t.cy = 93;
    t.style = style::kPopup | style::kCaption | style::kSysMenu | style::kModalFrame;
    t.fontName = QString::fromUtf8("宋体");
    t.pointSize = 9;
    t.controls = {
        Static(-1, "", kIcon, 23, 17, 21, 21),
        Static(-1, "Oskevi工具 1.0 版", kNoPrefix | kGroup, 64, 30, 99, 8),
        Static(-1, "版权所有 (C) 2026", kGroup, 64, 48, 75, 8),
        Button(1, "确定", kDefPushButton | kGroup | kTabStop, 175, 28, 54, 35),
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
