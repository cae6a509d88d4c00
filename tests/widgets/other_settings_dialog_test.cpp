#include "other_dialog/other_settings_dialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

#include "fake_prompter.h"
#include "main_dialog/main_dialog.h"
#include "profile/profile_store.h"
#include "temp_dir.h"

namespace vk3 {
namespace {

using test::WriteFile;

class OtherSettingsDialogTest : public ::testing::Test {
protected:
    OtherSettingsDialogTest() {
        WriteFile(paths.engineConfig,
                  "[Engine.Setup]\r\nFpS.Average=30.0\r\n[Game]\r\nTestMode=false\r\n");
        WriteFile(paths.debugConfig, "; debug\r\n[PropertySets]\r\nPlayerMemory.Enabled=false\r\n");
    }

    // Opens the dialog from the main dialog's button and hands it to drive, as shown.
    void OpenFromMainDialog(const std::function<void(OtherSettingsDialog&)>& drive) {
        test::FakePrompter mainPrompter;
        MainDialog main(paths, {}, mainPrompter);
        ChildDialogs children;
        children.otherSettings = [&](QWidget* owner, const InstallationPaths& given) {
            OtherSettingsDialog dialog(given, prompter, owner);
            dialog.show();
            dialog.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
            drive(dialog);
        };
        main.SetChildDialogs(children);
        main.show();
        QTest::mouseClick(main.findChild<QPushButton*>("otherSettingsButton"), Qt::LeftButton);
    }
    // Changes average FPS and player memory with the keyboard, then presses "&save" with Enter.
    static void ChangeAndSave(OtherSettingsDialog& dialog) {
        auto* fps = dialog.findChild<QLineEdit*>("averageFpsEdit");
        fps->setFocus();
        fps->selectAll();
        QTest::keyClicks(fps, "45");
        auto* memory = dialog.findChild<QComboBox*>("playerMemoryList");
        memory->setFocus();
        QTest::keyClick(memory, Qt::Key_Down);
        auto* save = dialog.findChild<QPushButton*>("saveButton");
        save->setFocus();
        QTest::keyClick(save, Qt::Key_Return);  // Enter presses the focused button
    }
    std::string Read(const std::filesystem::path& file, const char* section, const char* key) {
        return ReadProfileString(file, section, key, "<absent>");
    }

    test::TempDir dir;
    InstallationPaths paths = test::InstallationUnder(dir.path());
    test::FakePrompter prompter;
};

TEST_F(OtherSettingsDialogTest, KeyboardChangesAreSavedAndTheDialogCloses) {
    OpenFromMainDialog([&](OtherSettingsDialog& dialog) {
        EXPECT_TRUE(dialog.windowTitle().isEmpty());
        EXPECT_EQ(dialog.findChild<QWidget*>("testModeList")->toolTip(), "default: enabled");
        EXPECT_EQ(dialog.findChild<QWidget*>("viewRangeHighQualityLowEdit")->toolTip(),
                  "standard: 6000.0");
        ChangeAndSave(dialog);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    });
    EXPECT_TRUE(prompter.messages().empty());
    EXPECT_EQ(Read(paths.engineConfig, "Engine.Setup", "FpS.Average"), "45.0");
    EXPECT_EQ(Read(paths.debugConfig, "PropertySets", "PlayerMemory.Enabled"), "true");
}

TEST_F(OtherSettingsDialogTest, AReadOnlyDebugFileIsReportedAndTheDialogStaysOpen) {
    test::MakeReadOnly(paths.debugConfig);
    OpenFromMainDialog([&](OtherSettingsDialog& dialog) {
        ChangeAndSave(dialog);
        EXPECT_TRUE(dialog.isVisible());
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_FALSE(dialog.isVisible());
    });
    ASSERT_EQ(prompter.errors().size(), 1u);
    EXPECT_NE(prompter.errors()[0].find("debug.ini"), std::string::npos);
    // The two files change together: the engine file keeps its value as well.
    EXPECT_EQ(Read(paths.engineConfig, "Engine.Setup", "FpS.Average"), "30.0");
    EXPECT_EQ(Read(paths.debugConfig, "PropertySets", "PlayerMemory.Enabled"), "false");
}

}  // namespace
}  // namespace vk3
