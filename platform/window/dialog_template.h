// Dialog templates as data: controls positioned in dialog units, turned into Qt widgets.
#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <vector>

namespace tavrel {

enum class ControlClass { Button, Edit, Static, ComboBox };

// Window and control styles that the templates use (the values of the classic platform).
namespace style {
inline constexpr uint32_t kTabStop = 0x00010000;
inline constexpr uint32_t kGroup = 0x00020000;
inline constexpr uint32_t kVScroll = 0x00200000;
inline constexpr uint32_t kBorder = 0x00800000;
inline constexpr uint32_t kVisible = 0x10000000;
inline constexpr uint32_t kChild = 0x40000000;
// dialog windows
inline constexpr uint32_t kModalFrame = 0x00000080;
inline constexpr uint32_t kSysMenu = 0x00080000;
inline constexpr uint32_t kCaption = 0x00C00000;
inline constexpr uint32_t kPopup = 0x80000000;
inline constexpr uint32_t kExAppWindow = 0x00040000;  // extended style: own task-bar button
// buttons
inline constexpr uint32_t kDefPushButton = 0x0001;
inline constexpr uint32_t kGroupBox = 0x0007;
inline constexpr uint32_t kBitmap = 0x0080;
// statics
inline constexpr uint32_t kCenter = 0x0001;
inline constexpr uint32_t kIcon = 0x0003;
inline constexpr uint32_t kNoPrefix = 0x0080;
inline constexpr uint32_t kLeft = 0x0000;
inline constexpr uint32_t kNotify = 0x0100;
// combo boxes
inline constexpr uint32_t kDropDownList = 0x0003;
inline constexpr uint32_t kSort = 0x0100;
// edits
inline constexpr uint32_t kAutoHScroll = 0x0080;
inline constexpr uint32_t kReadOnly = 0x0800;
}  // namespace style

struct ControlTemplate {
    int id = -1;
    ControlClass kind = ControlClass::Static;
    QString text;
    uint32_t style = 0;
    int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
};

struct DialogTemplate {
    int id = 0;
    QString caption;
    int cx = 0, cy = 0;  // dialog units
    uint32_t style = 0;
    uint32_t exStyle = 0;
    QString fontName;
    int pointSize = 9;
    int weight = 400;
    int charset = 0;
    std::vector<ControlTemplate> controls;
};

// Dialog base units of a template's font: x = average width of the 52 Latin letters,
// y = font height, in pixels.
struct BaseUnits {
    double x = 0;
    double y = 0;
};
BaseUnits BaseUnitsFor(const DialogTemplate& tmpl);
// Dialog units to pixels: x * base.x / 4, y * base.y / 8.
QRect DialogUnitsToPixels(const BaseUnits& base, int x, int y, int cx, int cy);

// Creates every control of the template as a child of dialog, in template order, sets the
// dialog's font and client size. Each control carries its id (ControlId); an icon static is
// named "iconStatic" and shows whatever picture its dialog gives it.
void BuildDialogFromTemplate(QWidget* dialog, const DialogTemplate& tmpl);

// The control id a widget carries, or -1 for none; walks up to the nearest ancestor that
// carries one (so events on inner widgets of a combo box report the combo box's id).
int ControlId(const QObject* widget);
QWidget* FindControl(const QWidget* dialog, int id);

}  // namespace tavrel
