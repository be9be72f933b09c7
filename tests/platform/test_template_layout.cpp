// Dialog templates turned into widgets: ids, texts, kinds, positions in dialog units of the
// template font, hit testing and the resources that go with the templates.
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
#include "qt_test_app.h"
#include "res/resources.h"

namespace tavrel {
namespace {

class TemplateLayout : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::App(); }
};

TEST_F(TemplateLayout, DialogUnitsRoundLikeThePlatform) {
    const BaseUnits base{6, 16};
    // 23 * 6 / 4 = 34.5 rounds up; 25 * 16 / 8 = 50 exactly.
    EXPECT_EQ(DialogUnitsToPixels(base, 23, 25, 60, 67), QRect(35, 50, 90, 134));
    EXPECT_EQ(DialogUnitsToPixels(base, 1, 1, 1, 1), QRect(2, 2, 2, 2));  // 1.5 and 2
    EXPECT_EQ(DialogUnitsToPixels({7, 15}, 0, 0, 425, 211), QRect(0, 0, 744, 396));
}

TEST_F(TemplateLayout, TemplateFontsFallBackToTheInstalledCjkFont) {
    for (int id : {IDD_TAVREL_DIALOG, IDD_ABOUTBOX}) {
        QDialog dialog;
        BuildDialogFromTemplate(&dialog, LoadDialogTemplate(id));
        const QFontInfo info(dialog.font());
        EXPECT_TRUE(info.family().startsWith(QStringLiteral("WenQuanYi Zen Hei"))) << id;
        EXPECT_EQ(info.pointSize(), 9);
    }
    const BaseUnits base = BaseUnitsFor(LoadDialogTemplate(IDD_TAVREL_DIALOG));
    EXPECT_GT(base.x, 3);
    EXPECT_GT(base.y, 8);
    EXPECT_EQ(base.x, static_cast<int>(base.x));  // whole pixels, like the platform's
}

struct Expected {
    int id;
    const char* kind;  // Qt class
    const char* text;
    int x, y, cx, cy;
    bool picture = false;
};

// The main dialog in template (tab) order.
const Expected kMainControls[] = {
    {1008, "QPushButton", "图像1", 23, 25, 60, 67, true},
    {1009, "QPushButton", "图像2", 103, 25, 60, 67, true},
    {1010, "QPushButton", "图像3", 182, 25, 60, 67, true},
    {1011, "QPushButton", "图像4", 262, 25, 60, 67, true},
    {1012, "QPushButton", "图像5", 341, 25, 60, 67, true},
    {1015, "QComboBox", "", 62, 128, 48, 30},
    {4, "QPushButton", "动画预览", 250, 122, 62, 21},
    {2, "QPushButton", "GIF动画生成", 250, 157, 62, 21},
    {3, "QPushButton", "清除图像", 159, 122, 62, 21},
    {1007, "QLineEdit", "", 62, 161, 158, 12},
    {-1, "QLabel", "播放速度:", 23, 129, 38, 9},
    {-1, "QGroupBox", "动画制作", 13, 106, 399, 83},
    {-1, "QGroupBox", "图像选择", 13, 12, 399, 88},
    {-1, "QLabel", "动画路径:", 24, 163, 36, 9},
    {1002, "QPushButton", "动画预览", 339, 115, 60, 67, true},
    {1019, "QLabel", "图像格式支持: jpg, bmp, png.", 13, 198, 171, 8},
};

QString ShownText(const QWidget* w) {
    if (auto* b = qobject_cast<const QAbstractButton*>(w))
        return b->text();
    if (auto* g = qobject_cast<const QGroupBox*>(w))
        return g->title();
    if (auto* l = qobject_cast<const QLabel*>(w))
        return l->text();
    if (auto* e = qobject_cast<const QLineEdit*>(w))
        return e->text();
    return QString();
}

TEST_F(TemplateLayout, MainDialogHasEveryControlInOrderAtItsPosition) {
    const DialogTemplate& tmpl = LoadDialogTemplate(IDD_TAVREL_DIALOG);
    QDialog dialog;
    BuildDialogFromTemplate(&dialog, tmpl);
    const BaseUnits base = BaseUnitsFor(tmpl);

    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("动画制作"));
    const QSize client = DialogUnitsToPixels(base, 0, 0, 425, 211).size();
    EXPECT_EQ(dialog.minimumSize(), client);
    EXPECT_EQ(dialog.maximumSize(), client);

    std::vector<QWidget*> controls;
    for (QObject* child : dialog.children()) {
        if (child->isWidgetType() && child->property("controlId").isValid()) {
            controls.push_back(static_cast<QWidget*>(child));
        }
    }
    ASSERT_EQ(controls.size(), std::size(kMainControls));
    // Group boxes were moved to the back; compare the rest in creation order by id and text.
    for (const Expected& e : kMainControls) {
        SCOPED_TRACE(QString::fromUtf8(e.text).toStdString() + " " + std::to_string(e.id));
        const auto found = std::find_if(controls.begin(), controls.end(), [&](QWidget* w) {
            const QString text = w->property("templateText").isValid()
                                     ? w->property("templateText").toString()
                                     : ShownText(w);
            return ControlId(w) == e.id && text == QString::fromUtf8(e.text);
        });
        ASSERT_NE(found, controls.end());
        QWidget* w = *found;
        EXPECT_STREQ(w->metaObject()->className(), e.kind);
        const QRect expected = DialogUnitsToPixels(base, e.x, e.y, e.cx, e.cy);
        if (e.kind == std::string("QComboBox")) {
            // The template height includes the dropped list; the closed box is shorter.
            EXPECT_EQ(w->geometry().topLeft(), expected.topLeft());
            EXPECT_EQ(w->width(), expected.width());
            EXPECT_LE(w->height(), expected.height());
        } else {
            EXPECT_EQ(w->geometry(), expected);
        }
        if (e.picture) {
            EXPECT_TRUE(ShownText(w).isEmpty()) << "picture buttons show a bitmap, not text";
        }
        if (e.id > 0) {
            EXPECT_EQ(FindControl(&dialog, e.id), w);
        }
    }
    // Tab order follows the template for the controls that take focus.
    const int tabOrder[] = {1008, 1009, 1010, 1011, 1012, 1015, 4, 2, 3, 1007, 1002};
    QWidget* w = FindControl(&dialog, tabOrder[0]);
    for (std::size_t i = 1; i < std::size(tabOrder); ++i) {
        do {
            w = w->nextInFocusChain();
        } while (w->focusPolicy() == Qt::NoFocus || ControlId(w) == -1 ||
                 w->parentWidget() != &dialog);
        EXPECT_EQ(ControlId(w), tabOrder[i]);
    }
}

TEST_F(TemplateLayout, ControlsBehaveAsTheirStylesSay) {
    QDialog dialog;
    BuildDialogFromTemplate(&dialog, LoadDialogTemplate(IDD_TAVREL_DIALOG));

    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        EXPECT_FALSE(button->isDefault()) << ControlId(button);
        EXPECT_FALSE(button->autoDefault()) << ControlId(button);
    }
    auto* edit = qobject_cast<QLineEdit*>(FindControl(&dialog, 1007));
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->isReadOnly());
    EXPECT_TRUE(edit->hasFrame());

    // A sorted drop-down list keeps entries where they were inserted.
    auto* combo = qobject_cast<QComboBox*>(FindControl(&dialog, 1015));
    ASSERT_NE(combo, nullptr);
    EXPECT_FALSE(combo->isEditable());
    combo->insertItem(0, QStringLiteral("z"));
    combo->insertItem(1, QStringLiteral("a"));
    combo->insertItem(1, QStringLiteral("m"));
    EXPECT_EQ(combo->itemText(0), QStringLiteral("z"));
    EXPECT_EQ(combo->itemText(1), QStringLiteral("m"));
    EXPECT_EQ(combo->itemText(2), QStringLiteral("a"));

    // The inner widgets of a combo box, its popup included, report the combo box's id.
    EXPECT_EQ(ControlId(combo->view()), 1015);
    EXPECT_EQ(ControlId(combo->view()->viewport()), 1015);
    EXPECT_EQ(ControlId(&dialog), -1);
    EXPECT_EQ(FindControl(&dialog, 4242), nullptr);
}

TEST_F(TemplateLayout, ClicksGoThroughFramesAndLabelsToTheDialog) {
    const DialogTemplate& tmpl = LoadDialogTemplate(IDD_TAVREL_DIALOG);
    QDialog dialog;
    BuildDialogFromTemplate(&dialog, tmpl);
    const BaseUnits base = BaseUnitsFor(tmpl);
    const auto at = [&](int x, int y) { return DialogUnitsToPixels(base, x, y, 0, 0).topLeft(); };

    // Every slot button sits inside the "图像选择" frame and still receives its clicks.
    for (int id = 1008; id <= 1012; ++id) {
        QWidget* slot = FindControl(&dialog, id);
        EXPECT_EQ(dialog.childAt(slot->geometry().center()), slot) << id;
    }
    EXPECT_EQ(dialog.childAt(FindControl(&dialog, 1002)->geometry().center()),
              FindControl(&dialog, 1002));
    EXPECT_EQ(dialog.childAt(at(18, 60)), nullptr);    // inside a frame, beside the slots
    EXPECT_EQ(dialog.childAt(at(30, 132)), nullptr);   // on the "播放速度:" label
    EXPECT_EQ(dialog.childAt(at(200, 205)), nullptr);  // below everything
}

TEST_F(TemplateLayout, AboutBoxAndResources) {
    const DialogTemplate& tmpl = LoadDialogTemplate(IDD_ABOUTBOX);
    QDialog dialog;
    BuildDialogFromTemplate(&dialog, tmpl);
    const BaseUnits base = BaseUnitsFor(tmpl);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("关于 Oskevi"));
    EXPECT_EQ(dialog.maximumSize(), DialogUnitsToPixels(base, 0, 0, 259, 93).size());

    auto* ok = qobject_cast<QPushButton*>(FindControl(&dialog, 1));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), QString::fromUtf8("确定"));
    EXPECT_EQ(ok->geometry(), DialogUnitsToPixels(base, 175, 28, 54, 35));
    auto* icon = dialog.findChild<QLabel*>(QStringLiteral("iconStatic"));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->geometry(), DialogUnitsToPixels(base, 23, 17, 21, 21));
    QStringList texts;
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        texts << label->text();
    }
    EXPECT_TRUE(texts.contains(QString::fromUtf8("Oskevi工具 1.0 版")));

    EXPECT_EQ(LoadResourceString(IDS_ABOUTBOX), QString::fromUtf8("关于 Tavrel(&A)..."));
    EXPECT_TRUE(LoadResourceString(4242).isEmpty());
    const QIcon appIcon = LoadResourceIcon(IDR_MAINFRAME);
    ASSERT_FALSE(appIcon.isNull());
    const QList<QSize> sizes = appIcon.availableSizes();
    for (int side : {16, 32, 48, 256}) {
        EXPECT_TRUE(sizes.contains(QSize(side, side))) << side;
    }
    EXPECT_TRUE(LoadResourceIcon(4242).isNull());
    EXPECT_THROW(LoadDialogTemplate(4242), std::out_of_range);
}

}  // namespace
}  // namespace tavrel
