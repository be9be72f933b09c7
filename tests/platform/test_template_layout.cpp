// Dialog templates turned into widgets: ids, texts, kinds and positions in dialog units of
// the template font.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>

#include "platform/dialog_template.h"
#include "res/resources.h"
#include "tests/qt_app_environment.h"

namespace tavrel {
namespace {

class TemplateLayout : public ::testing::Test {
protected:
    QRect Px(int x, int y, int cx = 0, int cy = 0) const {
        return DialogUnitsToPixels(base_, x, y, cx, cy);
    }
    QDialog dialog_;
    BaseUnits base_;
};

QString ShownText(QWidget* w) {
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->text();
    if (auto* g = qobject_cast<QGroupBox*>(w))
        return g->title();
    auto* l = qobject_cast<QLabel*>(w);
    return l != nullptr ? l->text() : QString();
}

TEST_F(TemplateLayout, MainDialogControlsSitWhereTheTemplateSays) {
    // Dialog units round half away from zero: 23 * 6 / 4 = 34.5 and 1 * 6 / 4 = 1.5.
    EXPECT_EQ(DialogUnitsToPixels({6, 16}, 23, 25, 60, 67), QRect(35, 50, 90, 134));
    EXPECT_EQ(DialogUnitsToPixels({6, 16}, 1, 1, 1, 1), QRect(2, 2, 2, 2));

    struct Expected {
        int id;
        const char* kind;
        const char* text;  // for picture buttons: the template text, which is not shown
        int x, y, cx, cy;
    };
    const Expected controls[] = {
        {1008, "QPushButton", "图像1", 23, 25, 60, 67},
        {1015, "QComboBox", "", 62, 128, 48, 30},
        {2, "QPushButton", "GIF动画生成", 250, 157, 62, 21},
        {1007, "QLineEdit", "", 62, 161, 158, 12},
        {-1, "QLabel", "播放速度:", 23, 129, 38, 9},
        {-1, "QGroupBox", "动画制作", 13, 106, 399, 83},
    };
    BuildDialogFromTemplate(&dialog_, LoadDialogTemplate(IDD_TAVREL_DIALOG));
    base_ = BaseUnitsFor(LoadDialogTemplate(IDD_TAVREL_DIALOG));
    EXPECT_EQ(dialog_.windowTitle(), QString::fromUtf8("动画制作"));
    EXPECT_EQ(dialog_.maximumSize(), Px(0, 0, 425, 211).size());
    EXPECT_EQ(dialog_.minimumSize(), dialog_.maximumSize());

    const QList<QWidget*> made = dialog_.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (const Expected& e : controls) {
        const QString text = QString::fromUtf8(e.text);
        SCOPED_TRACE(text.toStdString() + " " + std::to_string(e.id));
        const auto found = std::ranges::find_if(made, [&](QWidget* c) {
            const QVariant templateText = c->property("templateText");
            return ControlId(c) == e.id &&
                   (templateText.isValid() ? templateText.toString() : ShownText(c)) == text;
        });
        ASSERT_NE(found, made.end());
        QWidget* w = *found;
        EXPECT_STREQ(w->metaObject()->className(), e.kind);
        if (e.id > 0) {
            EXPECT_EQ(FindControl(&dialog_, e.id), w);
        }
        const QRect want = Px(e.x, e.y, e.cx, e.cy);
        if (e.id == 1015) {  // the template height includes the dropped-down list
            EXPECT_EQ(w->geometry().topLeft(), want.topLeft());
            EXPECT_EQ(w->width(), want.width());
            EXPECT_LT(w->height(), want.height());
        } else {
            EXPECT_EQ(w->geometry(), want);
        }
    }
}

}  // namespace
}  // namespace tavrel
