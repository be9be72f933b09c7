// Dialog templates turned into widgets: ids, texts, kinds and positions in dialog units of
// the template font, control behaviour, hit testing, and the resources beside the templates.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <stdexcept>

#include "platform/dialog_template.h"
#include "res/resources.h"
#include "tests/qt_app_environment.h"

namespace tavrel {
namespace {

class TemplateLayout : public ::testing::Test {
protected:
    void Build(int templateId) {
        BuildDialogFromTemplate(&dialog_, LoadDialogTemplate(templateId));
        base_ = BaseUnitsFor(LoadDialogTemplate(templateId));
    }
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
        {1009, "QPushButton", "图像2", 103, 25, 60, 67},
        {1010, "QPushButton", "图像3", 182, 25, 60, 67},
        {1011, "QPushButton", "图像4", 262, 25, 60, 67},
        {1012, "QPushButton", "图像5", 341, 25, 60, 67},
        {1015, "QComboBox", "", 62, 128, 48, 30},
        {4, "QPushButton", "动画预览", 250, 122, 62, 21},
        {2, "QPushButton", "GIF动画生成", 250, 157, 62, 21},
        {3, "QPushButton", "清除图像", 159, 122, 62, 21},
        {1007, "QLineEdit", "", 62, 161, 158, 12},
        {-1, "QLabel", "播放速度:", 23, 129, 38, 9},
        {-1, "QGroupBox", "动画制作", 13, 106, 399, 83},
        {-1, "QGroupBox", "图像选择", 13, 12, 399, 88},
        {-1, "QLabel", "动画路径:", 24, 163, 36, 9},
        {1002, "QPushButton", "动画预览", 339, 115, 60, 67},
        {1019, "QLabel", "图像格式支持: jpg, bmp, png.", 13, 198, 171, 8},
    };
    Build(IDD_TAVREL_DIALOG);
    EXPECT_EQ(dialog_.windowTitle(), QString::fromUtf8("动画制作"));
    EXPECT_TRUE(QFontInfo(dialog_.font()).family().startsWith(QStringLiteral("WenQuanYi")));
    EXPECT_EQ(dialog_.maximumSize(), Px(0, 0, 425, 211).size());
    EXPECT_EQ(dialog_.minimumSize(), dialog_.maximumSize());

    const QList<QWidget*> made = dialog_.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    EXPECT_EQ(
        std::ranges::count_if(made, [](QWidget* w) { return w->property("controlId").isValid(); }),
        std::ssize(controls));
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
        if (e.id > 0)
            EXPECT_EQ(FindControl(&dialog_, e.id), w);
        if (w->property("templateText").isValid())
            EXPECT_TRUE(ShownText(w).isEmpty()) << "a picture button shows no text";
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

TEST_F(TemplateLayout, ControlsBehaveAsTheirStylesSay) {
    Build(IDD_TAVREL_DIALOG);
    for (QPushButton* button : dialog_.findChildren<QPushButton*>())
        EXPECT_FALSE(button->isDefault() || button->autoDefault()) << ControlId(button);
    auto* edit = qobject_cast<QLineEdit*>(FindControl(&dialog_, 1007));
    EXPECT_TRUE(edit->isReadOnly() && edit->hasFrame());

    // A sorted drop-down list keeps entries where they were inserted; its inner widgets,
    // the popup list included, report its id.
    auto* combo = qobject_cast<QComboBox*>(FindControl(&dialog_, 1015));
    EXPECT_FALSE(combo->isEditable());
    for (const auto& [at, text] : {std::pair{0, "z"}, {1, "a"}, {1, "m"}})
        combo->insertItem(at, QString::fromLatin1(text));
    EXPECT_EQ(combo->itemText(0) + combo->itemText(1) + combo->itemText(2), QStringLiteral("zma"));
    EXPECT_EQ(ControlId(combo->view()->viewport()), 1015);
    EXPECT_EQ(ControlId(&dialog_), -1);

    // Clicks reach the slot buttons through the frame around them; frames and plain labels
    // let clicks through to the dialog.
    for (int id : {1008, 1010, 1012, 1002}) {
        QWidget* button = FindControl(&dialog_, id);
        EXPECT_EQ(dialog_.childAt(button->geometry().center()), button) << id;
    }
    EXPECT_EQ(dialog_.childAt(Px(18, 60).topLeft()), nullptr);   // inside a frame
    EXPECT_EQ(dialog_.childAt(Px(30, 132).topLeft()), nullptr);  // on "播放速度:"
}

TEST_F(TemplateLayout, AboutBoxAndResources) {
    Build(IDD_ABOUTBOX);
    EXPECT_EQ(dialog_.windowTitle(), QString::fromUtf8("关于 Oskevi"));
    EXPECT_EQ(dialog_.maximumSize(), Px(0, 0, 259, 93).size());
    ASSERT_NE(FindControl(&dialog_, 1), nullptr);
    EXPECT_EQ(FindControl(&dialog_, 1)->geometry(), Px(175, 28, 54, 35));
    EXPECT_NE(dialog_.findChild<QLabel*>(QStringLiteral("iconStatic")), nullptr);

    EXPECT_EQ(LoadResourceString(IDS_ABOUTBOX), QString::fromUtf8("关于 Tavrel(&A)..."));
    const QList<QSize> sizes = LoadResourceIcon(IDR_MAINFRAME).availableSizes();
    for (int side : {16, 32, 48, 256})
        EXPECT_TRUE(sizes.contains(QSize(side, side))) << side;
    EXPECT_THROW(LoadDialogTemplate(4242), std::out_of_range);
}

}  // namespace
}  // namespace tavrel
