#include "other_dialog/other_settings_dialog.h"

#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "fake_prompter.h"
#include "profile/profile_store.h"
#include "temp_dir.h"

namespace vk3 {
namespace {

class OtherSettingsDialogTest : public ::testing::Test {
protected:
    OtherSettingsDialogTest() {
        test::WriteFile(paths.engineConfig, "[Engine.Setup]\r\nFpS.Average=30.0\r\n");
        test::WriteFile(paths.debugConfig, "[PropertySets]\r\nPlayerMemory.Enabled=false\r\n");
        dialog = std::make_unique<OtherSettingsDialog>(paths, prompter, &owner);
    }
    // Opens the dialog, changes average FPS and player memory with the keyboard, then presses
    // "&save" with Enter.
    void ChangeAndSave() {
        dialog->show();
        auto* fps = dialog->findChild<QLineEdit*>("averageFpsEdit");
        fps->selectAll();
        QTest::keyClicks(fps, "45");
        QTest::keyClick(dialog->findChild<QComboBox*>("playerMemoryList"), Qt::Key_Down);
        auto* save = dialog->findChild<QPushButton*>("saveButton");
        save->setFocus();
        QTest::keyClick(save, Qt::Key_Return);  // Enter presses the focused button
    }
    std::string Stored(const std::filesystem::path& file, const char* section, const char* key) {
        return ReadProfileString(file, section, key, "<absent>");
    }

    test::TempDir dir;
    InstallationPaths paths = test::InstallationUnder(dir.path());
    test::FakePrompter prompter;
    QWidget owner;
    std::unique_ptr<OtherSettingsDialog> dialog;
};

TEST_F(OtherSettingsDialogTest, KeyboardChangesAreSavedAndTheDialogCloses) {
    // Announced with its group, the hint read as its description.
    QAccessibleInterface* field = QAccessible::queryAccessibleInterface(
        dialog->findChild<QWidget*>("viewRangeHighQualityLowEdit"));
    EXPECT_EQ(field->text(QAccessible::Name), "view range high quality, low settings");
    EXPECT_EQ(field->text(QAccessible::Description), "standard: 6000.0");
    ChangeAndSave();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(dialog->isVisible() || !prompter.messages().empty());
    EXPECT_EQ(Stored(paths.engineConfig, "Engine.Setup", "FpS.Average"), "45.0");
    EXPECT_EQ(Stored(paths.debugConfig, "PropertySets", "PlayerMemory.Enabled"), "true");
}

TEST_F(OtherSettingsDialogTest, AReadOnlyDebugFileIsReportedAndTheDialogStaysOpen) {
    test::MakeReadOnly(paths.debugConfig);
    ChangeAndSave();
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_EQ(prompter.errors().size(), 1u);
    EXPECT_NE(prompter.errors()[0].find("debug.ini"), std::string::npos);
    // The changes were not saved: Escape asks, No keeps the dialog open, Yes closes it.
    prompter.AnswerNo().AnswerYes();
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_TRUE(dialog->isVisible());
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(prompter.questionsDefaultNo(),
              std::vector<std::string>(2, "the settings were changed. quit without saving?"));
    // The two files change together: the engine file keeps its value as well.
    EXPECT_EQ(Stored(paths.engineConfig, "Engine.Setup", "FpS.Average"), "30.0");
    EXPECT_EQ(Stored(paths.debugConfig, "PropertySets", "PlayerMemory.Enabled"), "false");
}

}  // namespace
}  // namespace vk3
