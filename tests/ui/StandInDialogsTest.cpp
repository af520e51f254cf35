#include "engine/StegEngine.h"
#include "ui/DecodeDialog.h"
#include "ui/EncodeDialog.h"
#include "ui/GuiTestSupport.h"

#include <QCheckBox>
#include <QPushButton>
#include <gtest/gtest.h>

namespace lumaquill {
namespace {

struct ControlCase {
    int Id;
    const char* ClassName;
    const char* Text;
    DluRect Rect;
};

void ExpectControls(const TemplateDialog& dialog, const std::vector<ControlCase>& cases)
{
    for (const ControlCase& c : cases) {
        SCOPED_TRACE(c.Id);
        QWidget* control = dialog.Control(c.Id);
        ASSERT_NE(control, nullptr);
        EXPECT_STREQ(control->metaObject()->className(), c.ClassName);
        EXPECT_EQ(dialog.ControlText(c.Id), QString::fromLatin1(c.Text));
        EXPECT_EQ(control->geometry(), dialog.Units().ToPixels(c.Rect));
    }
}

TEST(StandInDialogsTest, EncodeDialogHasItsTemplateControls)
{
    StegEngine engine;
    test::ScriptedPrompts prompts;
    EncodeDialog dialog(engine, prompts);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Encode Image"));
    EXPECT_EQ(dialog.size(), dialog.Units().ToPixels(188, 198));
    ExpectControls(dialog,
        {
            { 1045, "QLabel", "What would you like to encode?", { 8, 65, 103, 8 } },
            { 1052, "QPushButton", "A file", { 7, 75, 79, 14 } },
            { 1019, "QPushButton", "Typed Text", { 102, 75, 79, 14 } },
            { 1051, "QLabel", "What would you like to encode this into?", { 8, 97, 129, 8 } },
            { 1053, "QPushButton", "Existing Image", { 8, 107, 79, 14 } },
            { 1058, "QCheckBox", "or  Pure Noise Image", { 99, 109, 82, 10 } },
            { 1000, "QPushButton", "Preview", { 8, 123, 79, 14 } },
            { IdOk, "QPushButton", "Ok", { 97, 141, 84, 50 } },
            { 1057, "QCheckBox", "Shrink to fit?", { 7, 144, 55, 10 } },
            { 1055, "QLabel", "Data Size : 0", { 7, 169, 71, 8 } },
            { 1056, "QLabel", "Max Size : 0", { 7, 181, 85, 8 } },
        });
    EXPECT_FALSE(dialog.Button(IdOk)->icon().isNull());
    EXPECT_FALSE(dialog.IsChecked(1058));
    EXPECT_FALSE(dialog.IsChecked(1057));
}

TEST(StandInDialogsTest, DecodeDialogHasItsTemplateControls)
{
    StegEngine engine;
    test::ScriptedPrompts prompts;
    DecodeDialog dialog(engine, prompts);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Decode"));
    ExpectControls(dialog,
        {
            { 1045, "QLabel", "From which image do you want to decode?", { 7, 77, 136, 8 } },
            { 1053, "QPushButton", "Image", { 7, 87, 79, 14 } },
            { 1000, "QPushButton", "Preview", { 102, 87, 79, 14 } },
            { IdOk, "QPushButton", "Decode", { 97, 141, 84, 50 } },
        });
    EXPECT_TRUE(dialog.Button(IdOk)->isDefault());
    EXPECT_FALSE(dialog.Button(IdOk)->icon().isNull());
}

} // namespace
} // namespace lumaquill
