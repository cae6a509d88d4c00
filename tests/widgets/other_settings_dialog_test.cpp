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

// Average FPS and player memory are changed with the keyboard and "&save" is pressed with
// Enter: both files are saved and the dialog closes, or, with debug.ini read-only, the file
// is named, neither file changes and the dialog stays until the user gives the changes up.
TEST(OtherSettingsDialogTest, SavesKeyboardChangesToBothFilesOrToNeither) {
    for (const bool readOnly : {false, true}) {
        SCOPED_TRACE(readOnly ? "read-only" : "writable");
        test::TempDir dir;
        const InstallationPaths paths = test::InstallationUnder(dir.path());
        test::WriteFile(paths.engineConfig, "[Engine.Setup]\r\nFpS.Average=30.0\r\n");
        test::WriteFile(paths.debugConfig, "[PropertySets]\r\nPlayerMemory.Enabled=false\r\n");
        if (readOnly) {
            test::MakeReadOnly(paths.debugConfig);
        }
        test::FakePrompter prompter;
        QWidget owner;
        OtherSettingsDialog dialog(paths, prompter, &owner);
        dialog.show();
        // Announced with its group, the hint read as its description.
        QAccessibleInterface* field = QAccessible::queryAccessibleInterface(
            dialog.findChild<QWidget*>("viewRangeHighQualityLowEdit"));
        EXPECT_EQ(field->text(QAccessible::Name), "view range high quality, low settings");
        EXPECT_EQ(field->text(QAccessible::Description), "standard: 6000.0");

        auto* fps = dialog.findChild<QLineEdit*>("averageFpsEdit");
        fps->selectAll();
        QTest::keyClicks(fps, "45");
        QTest::keyClick(dialog.findChild<QComboBox*>("playerMemoryList"), Qt::Key_Down);
        auto* save = dialog.findChild<QPushButton*>("saveButton");
        save->setFocus();
        QTest::keyClick(save, Qt::Key_Return);  // Enter presses the focused button
        if (readOnly) {
            EXPECT_TRUE(dialog.isVisible());
            ASSERT_EQ(prompter.errors().size(), 1u);
            EXPECT_NE(prompter.errors()[0].find("debug.ini"), std::string::npos);
            prompter.AnswerYes();  // to give the change up
            QTest::keyClick(&dialog, Qt::Key_Escape);
        }
        EXPECT_EQ(dialog.result(), readOnly ? QDialog::Rejected : QDialog::Accepted);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(prompter.messages().size(), readOnly ? 2u : 0u);
        EXPECT_EQ(ReadProfileString(paths.engineConfig, "Engine.Setup", "FpS.Average", ""),
                  readOnly ? "30.0" : "45.0");
        EXPECT_EQ(ReadProfileString(paths.debugConfig, "PropertySets", "PlayerMemory.Enabled", ""),
                  readOnly ? "false" : "true");
    }
}

}  // namespace
}  // namespace vk3
