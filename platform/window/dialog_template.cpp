// Turns dialog templates into Qt widgets, laid out in dialog units of the template's font.
#include "platform/window/dialog_template.h"

#include <QComboBox>
#include <QDialog>
#include <QFont>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cmath>

#include "platform/result.h"

namespace tavrel {
namespace {

const char* const kControlIdProperty = "controlId";
// The template text of a picture button, which shows a bitmap instead.
const char* const kTemplateTextProperty = "templateText";

// The CJK font installed with the program's packages stands in for the fonts the templates
// name, which a Linux machine does not have.
const char* const kFallbackFamily = "WenQuanYi Zen Hei";

constexpr uint32_t kButtonTypeMask = 0x000F;
constexpr uint32_t kStaticTypeMask = 0x001F;
constexpr uint32_t kComboTypeMask = 0x0003;
constexpr uint32_t kComboSimple = 0x0001;
constexpr uint32_t kComboDropDown = 0x0002;

QFont TemplateFont(const DialogTemplate& tmpl) {
    if (!tmpl.fontName.isEmpty()) {
        QFont::insertSubstitution(tmpl.fontName, QString::fromLatin1(kFallbackFamily));
    }
    QFont font;
    font.setFamilies({tmpl.fontName, QString::fromLatin1(kFallbackFamily)});
    font.setPointSize(tmpl.pointSize > 0 ? tmpl.pointSize : 9);
    font.setWeight(
        static_cast<QFont::Weight>(std::clamp(tmpl.weight > 0 ? tmpl.weight : 400, 1, 1000)));
    return font;
}

// A template's text in the program's language: the templates are written in English.
QString Translated(const QString& text) {
    return text.isEmpty() ? text : Tr(text.toUtf8().constData());
}

// a * b / c rounded half away from zero, like the platform's MulDiv.
int MulDiv(int a, double b, int c) {
    return static_cast<int>(std::lround(a * b / c));
}

QWidget* MakeButton(const ControlTemplate& c, QWidget* parent) {
    const uint32_t type = c.style & kButtonTypeMask;
    if (type == style::kGroupBox) {
        auto* box = new QGroupBox(c.text, parent);
        // Group boxes only frame other controls: clicks go through them, as on the platform.
        box->setAttribute(Qt::WA_TransparentForMouseEvents);
        box->setFocusPolicy(Qt::NoFocus);
        return box;
    }
    auto* button = new QPushButton(parent);
    // Enter must not press a button of its own accord: no default or auto-default buttons.
    button->setAutoDefault(false);
    button->setDefault(false);
    if (c.style & style::kBitmap) {
        button->setProperty(kTemplateTextProperty, c.text);
        button->setAccessibleName(c.text);
    } else {
        button->setText(c.text);
    }
    return button;
}

QWidget* MakeStatic(const ControlTemplate& c, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    const uint32_t type = c.style & kStaticTypeMask;
    label->setAlignment((type == style::kCenter ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
    // An icon static shows a picture its dialog gives it; its text names no resource here.
    if (type == style::kIcon) {
        label->setObjectName(QStringLiteral("iconStatic"));
    } else {
        label->setText(c.text);
    }
    // Statics that send no notifications are not hit by the mouse on the platform either.
    if (!(c.style & style::kNotify)) {
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    return label;
}

QWidget* MakeEdit(const ControlTemplate& c, QWidget* parent) {
    auto* edit = new QLineEdit(c.text, parent);
    edit->setReadOnly(c.style & style::kReadOnly);
    edit->setFrame(c.style & style::kBorder);
    return edit;
}

QWidget* MakeComboBox(const ControlTemplate& c, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    // A drop-down list only lets the user pick; the simple and drop-down kinds take typing.
    // The widget never sorts, so entries inserted at a position stay there.
    const uint32_t type = c.style & kComboTypeMask;
    combo->setEditable(type == kComboSimple || type == kComboDropDown);
    combo->setInsertPolicy(QComboBox::NoInsert);
    return combo;
}

QWidget* MakeControl(const ControlTemplate& c, QWidget* parent) {
    switch (c.kind) {
        case ControlClass::Button:
            return MakeButton(c, parent);
        case ControlClass::Edit:
            return MakeEdit(c, parent);
        case ControlClass::ComboBox:
            return MakeComboBox(c, parent);
        case ControlClass::Static:
            break;
    }
    return MakeStatic(c, parent);
}

// False for the controls of another dialog that this one owns (an About box, say).
bool IsControlOf(const QWidget* child, const QWidget* dialog) {
    for (const QWidget* w = child->parentWidget(); w != nullptr && w != dialog;
         w = w->parentWidget()) {
        if (qobject_cast<const QDialog*>(w) != nullptr) {
            return false;
        }
    }
    return true;
}

}  // namespace

BaseUnits BaseUnitsFor(const DialogTemplate& tmpl) {
    const QFontMetrics metrics(TemplateFont(tmpl));
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    // The platform's rounding of the average letter width: (width / 26 + 1) / 2.
    const int averageLetterWidth = (letters / 26 + 1) / 2;
    return {static_cast<double>(averageLetterWidth), static_cast<double>(metrics.height())};
}

QRect DialogUnitsToPixels(const BaseUnits& base, int x, int y, int cx, int cy) {
    return QRect(MulDiv(x, base.x, 4), MulDiv(y, base.y, 8), MulDiv(cx, base.x, 4),
                 MulDiv(cy, base.y, 8));
}

void BuildDialogFromTemplate(QWidget* dialog, const DialogTemplate& tmpl) {
    const QFont font = TemplateFont(tmpl);
    const BaseUnits base = BaseUnitsFor(tmpl);
    dialog->setFont(font);
    dialog->setWindowTitle(Translated(tmpl.caption));

    for (const ControlTemplate& original : tmpl.controls) {
        ControlTemplate c = original;
        c.text = Translated(c.text);
        QWidget* control = MakeControl(c, dialog);
        control->setProperty(kControlIdProperty, c.id);
        control->setFont(font);
        if (!(c.style & style::kTabStop) && !qobject_cast<QLineEdit*>(control)) {
            control->setFocusPolicy(Qt::NoFocus);
        }
        QRect rect = DialogUnitsToPixels(base, c.x, c.y, c.cx, c.cy);
        if (auto* combo = qobject_cast<QComboBox*>(control)) {
            // The template height of a combo box includes its dropped-down list; the closed
            // box is as high as its font needs.
            rect.setHeight(std::min(rect.height(), combo->sizeHint().height()));
        }
        control->setGeometry(rect);
        control->setVisible(c.style & style::kVisible);
    }
    // Frames go to the back so that they never cover the controls they surround.
    for (QGroupBox* box : dialog->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly)) {
        box->lower();
    }
    const QRect client = DialogUnitsToPixels(base, 0, 0, tmpl.cx, tmpl.cy);
    dialog->setFixedSize(client.size());
}

int ControlId(const QObject* widget) {
    for (const QObject* o = widget; o != nullptr; o = o->parent()) {
        const QVariant id = o->property(kControlIdProperty);
        if (id.isValid()) {
            return id.toInt();
        }
    }
    return -1;
}

QWidget* FindControl(const QWidget* dialog, int id) {
    if (dialog == nullptr) {
        return nullptr;
    }
    for (QWidget* child : dialog->findChildren<QWidget*>()) {
        if (!IsControlOf(child, dialog)) {
            continue;
        }
        const QVariant own = child->property(kControlIdProperty);
        if (own.isValid() && own.toInt() == id) {
            return child;
        }
    }
    return nullptr;
}

}  // namespace tavrel
