#include "platform/number_field.h"

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "cache_dialog/cache_settings_dialog.h"
#include "fake_prompter.h"
#include "main_dialog/main_dialog.h"
#include "other_dialog/other_settings_dialog.h"
#include "temp_dir.h"

namespace vk3 {
namespace {

// A character that cannot belong to a number stays where it was typed: the field is marked
// and announced, and the dialog refuses it by name, writing nothing. A decimal comma in the
// level of detail is a point; a percentage may have decimals.
TEST(NumberField, KeepsWhatWasTypedAndTheDialogRefusesWhatItCannotStore) {
    enum Dialog { Main, Other, Cache };
    const struct {
        Dialog dialog;
        const char *field, *typed, *button;
        const char* refusal;  // the field's name in the refusal; nothing: taken
    } cases[] = {
        {Main, "viewRangeVegetationEdit", "12.5", "saveSettingsButton",
         "\"view range vegetation\""},
        {Other, "levelOfDetailEdit", "0,5", "saveButton", nullptr},
        {Other, "levelOfDetailEdit", "0,0,3", "saveButton", "\"level of detail, miscellaneous\""},
        {Other, "minFpsEdit", "-5", "saveButton", "0 to 4294967295 for \"min FPS, FPS\""},
        {Cache, "cacheImageLowEdit", "1,5", "cacheSaveButton", "\"image, resource cache - low\""},
        {Cache, "cacheModifyLowEdit", "12.5x", "cacheScaleUpLowButton", "\"modify, resource"},
        {Cache, "cacheModifyLowEdit", "12,5", "cacheScaleUpLowButton", nullptr},
    };
    const std::string stored = "[Option.Sliders]\r\nResourceCache.u32ImageMaxMemUsage_Low=1000\r\n";
    constexpr auto npos = std::string::npos;
    for (const auto& c : cases) {
        test::TempDir dir;
        const InstallationPaths paths = test::InstallationUnder(dir.path());
        test::WriteFile(paths.engineConfig, stored);
        test::FakePrompter prompter;
        std::unique_ptr<QDialog> dialog;
        if (c.dialog == Main) {
            dialog = std::make_unique<MainDialog>(paths, std::vector<std::string>{}, prompter);
        } else if (c.dialog == Other) {
            dialog = std::make_unique<OtherSettingsDialog>(paths, prompter);
        } else {
            dialog = std::make_unique<CacheSettingsDialog>(paths, prompter);
        }
        dialog->show();
        auto* field = dialog->findChild<NumberField*>(c.field);
        ASSERT_NE(field, nullptr) << c.field;
        const QString description = field->accessibleDescription();
        const QPalette colours = field->palette();
        field->selectAll();
        QTest::keyClicks(field, c.typed);
        EXPECT_EQ(field->text(), c.typed);
        EXPECT_EQ(field->MarkedInvalid(), c.refusal != nullptr) << c.typed;
        EXPECT_EQ(field->accessibleDescription().contains("not a valid number"),
                  c.refusal != nullptr);
        EXPECT_EQ(field->palette().base() == colours.text(), c.refusal != nullptr);
        QTest::mouseClick(dialog->findChild<QPushButton*>(c.button), Qt::LeftButton);
        if (c.refusal) {
            ASSERT_EQ(prompter.notices().size(), 1u);
            EXPECT_NE(prompter.notices()[0].find(c.refusal), npos) << prompter.notices()[0];
            EXPECT_TRUE(dialog->isVisible() && dialog->focusWidget() == field) << c.typed;
            EXPECT_EQ(test::ReadFile(paths.engineConfig), stored);
            field->ShowText("1");  // valid again: marked and announced as before
            EXPECT_TRUE(field->accessibleDescription() == description &&
                        field->palette() == colours);
            continue;
        }
        EXPECT_TRUE(prompter.messages().empty()) << c.typed;
        EXPECT_TRUE(test::ReadFile(paths.engineConfig).find("LoDFactor=0.50\r\n") != npos ||
                    dialog->findChild<QLineEdit*>("cacheImageLowEdit")->text() == "1125");
    }
}

}  // namespace
}  // namespace vk3
