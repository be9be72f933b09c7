#include "platform/window/picture_button.h"

#include <QAbstractButton>
#include <QIcon>
#include <QPixmap>
#include <QStyle>
#include <QVariant>

#include "platform/bitmap_loader.h"

namespace tavrel {

namespace {

constexpr const char* kBitmapProperty = "tavrelBitmap";
constexpr const char* kPictureButtonProperty = "pictureButton";

}  // namespace

void SetButtonBitmap(QAbstractButton* button, const DibSection* bitmap) {
    if (!button) {
        return;
    }
    // Kept as a plain pointer: the button shows the bitmap but does not own it.
    button->setProperty(kBitmapProperty,
                        QVariant::fromValue(const_cast<void*>(static_cast<const void*>(bitmap))));
    // Skins give picture buttons their own look (QPushButton[pictureButton="true"]); the
    // style sheet sees a new property only after a re-polish.
    if (!button->property(kPictureButtonProperty).toBool()) {
        button->setProperty(kPictureButtonProperty, true);
        button->style()->unpolish(button);
        button->style()->polish(button);
    }
    // A picture button shows its bitmap, never its text; the text stays readable to
    // assistive tools.
    if (!button->text().isEmpty()) {
        if (button->accessibleName().isEmpty()) {
            button->setAccessibleName(button->text());
        }
        button->setText(QString());
    }
    const QSize size = button->size();
    if (!bitmap || bitmap->IsNull() || size.isEmpty()) {
        button->setIcon(QIcon());
    } else {
        const QImage image =
            DibToImage(*bitmap).scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        button->setIcon(QIcon(QPixmap::fromImage(image)));
        button->setIconSize(size);
    }
    button->update();
}

const DibSection* ButtonBitmap(const QAbstractButton* button) {
    if (!button) {
        return nullptr;
    }
    return static_cast<const DibSection*>(button->property(kBitmapProperty).value<void*>());
}

}  // namespace tavrel
