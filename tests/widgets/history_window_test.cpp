#include "history/history_window.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>

#include "fake_prompter.h"
#include "files/safety_copies.h"
#include "main_dialog/main_dialog.h"
#include "profile/profile_store.h"
#include "temp_dir.h"

namespace vk3 {
namespace {

TEST(HistoryWindowTest, RestoresARunFromTheMainDialogAfterAskingAndShowsItAfresh) {
    test::TempDir dir;
    const InstallationPaths paths = test::InstallationUnder(dir.path());
    test::WriteFile(paths.userOptions, "[Options.Custom]\r\nDistanceHigh=1\r\n");
    test::WriteFile(paths.engineConfig, "[Engine.Setup]\r\nVegetationAdmin.ViewRange=3500.0\r\n");
    SafetyCopies safety(dir / "safety", std::chrono::system_clock::now());
    SetReplacementGuard([&](const std::filesystem::path& file) { return safety.KeepBefore(file); });
    ASSERT_TRUE(WriteProfileFiles(
        {{paths.userOptions, {{"Options.Custom", "DistanceHigh", "3"}}},
         {paths.engineConfig, {{"Engine.Setup", "VegetationAdmin.ViewRange", "4000.0"}}}}));
    const std::string run = safety.RunFolder().filename().string();

    test::FakePrompter prompter;
    MainDialog dialog(paths, {"1024x768@60Hz"}, prompter);
    QComboBox* viewRangeHigh = dialog.findChild<QComboBox*>("viewRangeHighList");
    ASSERT_EQ(viewRangeHigh->currentIndex(), 2);
    MaintenanceActions actions;
    QString shown;
    actions.history = [&](QWidget* owner) {
        HistoryWindow window(dir / "safety", &safety, prompter, owner);
        EXPECT_EQ(window.parentWidget(), &dialog);
        window.show();
        EXPECT_TRUE(window.SelectRun(run));
        shown = window.findChild<QPlainTextEdit*>("historyChangesText")->toPlainText();
        prompter.AnswerYes();
        QTest::mouseClick(window.findChild<QPushButton*>("restoreRunButton"), Qt::LeftButton);
        return window.Restored();
    };
    dialog.SetMaintenanceActions(actions);
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton*>("historyButton"), Qt::LeftButton);
    SetReplacementGuard(nullptr);

    EXPECT_TRUE(shown.contains("view range vegetation: 3500.0 → 4000.0")) << shown.toStdString();
    EXPECT_EQ(test::ReadFile(paths.userOptions), "[Options.Custom]\r\nDistanceHigh=1\r\n");
    EXPECT_EQ(viewRangeHigh->currentIndex(), 0);
    EXPECT_EQ(prompter.messages().size(), 1u);  // the question, nothing else
}

}  // namespace
}  // namespace vk3
