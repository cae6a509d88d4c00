#include "cache_dialog/cache_settings_dialog.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "fake_prompter.h"
#include "profile/profile_store.h"
#include "temp_dir.h"

namespace vk3 {
namespace {

// The labels' figures and the scaling arithmetic are the model's; here the dialog's wiring.
class CacheSettingsDialogTest : public ::testing::Test {
protected:
    CacheSettingsDialogTest() {
        test::WriteFile(paths.engineConfig,
                        "[Option.Sliders]\r\nResourceCache.u32MeshMaxMemUsage_Medium=3000000000\r\n"
                        "ResourceCache.u32ImageMaxMemUsage_TextureQualityHigh=350000000\r\n");
        dialog = std::make_unique<CacheSettingsDialog>(paths, prompter, &owner);
        dialog->show();
    }
    template <typename T = QLineEdit>
    T* Find(const char* name) {
        T* widget = dialog->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QString Text(const char* name) { return Find<QWidget>(name)->property("text").toString(); }
    void Click(const char* button) { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }
    static void Type(QLineEdit* field, const QString& text) {
        field->selectAll();
        QTest::keyClicks(field, text);
    }

    test::TempDir dir;
    InstallationPaths paths = test::InstallationUnder(dir.path());
    test::FakePrompter prompter;
    QWidget owner;
    std::unique_ptr<CacheSettingsDialog> dialog;
};

TEST_F(CacheSettingsDialogTest, FollowsTypingScalesAndSaves) {
    EXPECT_EQ(dialog->focusWidget(), Find("cacheImageCommonEdit"));
    QLineEdit* lowImage = Find("cacheImageLowEdit");
    EXPECT_EQ(lowImage->accessibleName(), "image, resource cache - low");
    Type(lowImage, "40000000");
    EXPECT_EQ(Text("cacheImageLowLabel"), "38.15 MB");
    Type(Find("cacheHighQualityTexturesEdit"), "0");
    EXPECT_EQ(Text("cacheTotalCacheLowField"), "40000000");

    Type(Find("cacheModifyLowEdit"), "10");
    Click("cacheScaleUpLowButton");
    EXPECT_EQ(lowImage->text(), "44000000");
    Click("cacheSaveButton");
    EXPECT_FALSE(dialog->isVisible());
    ProfileReader saved(paths.engineConfig);
    EXPECT_EQ(saved.ReadString("Option.Sliders", "ResourceCache.u32ImageMaxMemUsage_Low", ""),
              "44000000");
}

TEST_F(CacheSettingsDialogTest, FailuresAndRefusalsKeepTheDialogAndTheFile) {
    const std::string stored = test::ReadFile(paths.engineConfig);
    prompter.AnswerNo();
    Click("cacheRestoreButton");
    EXPECT_EQ(prompter.questions().at(0), "do you really want to restore the settings?");
    EXPECT_EQ(Text("cacheMeshMediumEdit"), "-1294967296");  // standard: 40000000

    QLineEdit* highMesh = Find("cacheMeshHighEdit");
    Type(highMesh, "96000000");
    test::MakeReadOnly(paths.engineConfig);
    Click("cacheSaveButton");
    ASSERT_EQ(prompter.errors().size(), 1u);
    EXPECT_NE(prompter.errors()[0].find(paths.engineConfig.string()), std::string::npos);
    EXPECT_TRUE(dialog->isVisible() && highMesh->text() == "96000000");

    // Enter in a field presses "&close"; with a change not saved it asks first: No keeps the
    // dialog open, Yes closes it, and neither writes.
    prompter.AnswerNo().AnswerYes();
    QTest::keyClick(highMesh, Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());
    QTest::keyClick(highMesh, Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(prompter.questionsDefaultNo(),
              std::vector<std::string>(2, "the settings were changed. quit without saving?"));
    EXPECT_EQ(test::ReadFile(paths.engineConfig), stored);

    // A file that cannot be read is reported, as in the other settings dialog.
    std::filesystem::remove(paths.engineConfig);
    std::filesystem::create_directory(paths.engineConfig);
    test::FakePrompter unread;
    CacheSettingsDialog opened(paths, unread, &owner);
    ASSERT_EQ(unread.errors().size(), 1u);
    EXPECT_EQ(
        unread.errors()[0].rfind("the settings could not be read; the defaults are shown.", 0), 0u);
}

}  // namespace
}  // namespace vk3
