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
        dialog = std::make_unique<CacheSettingsDialog>(paths.engineConfig, prompter, &owner);
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
    EXPECT_EQ(lowImage->toolTip(), "Standard: 32000000");
    QLineEdit* mediumMesh = Find("cacheMeshMediumEdit");
    QTest::keyClick(mediumMesh, Qt::Key_Home);
    QTest::keyClicks(mediumMesh, "7");  // a shown minus stays first
    QTest::keyClick(mediumMesh, Qt::Key_End);
    QTest::keyClick(mediumMesh, Qt::Key_Backspace);
    EXPECT_EQ(mediumMesh->text(), "-129496729");

    Type(lowImage, "40000000");
    QTest::keyClicks(lowImage, "-");  // only digits can be typed
    EXPECT_EQ(lowImage->text(), "40000000");
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
    EXPECT_EQ(saved.ReadString("Option.Sliders", "ResourceCache.u32MeshMaxMemUsage_Medium", ""),
              "-129496729");
}

TEST_F(CacheSettingsDialogTest, FailuresAndRefusalsKeepTheDialogAndTheFile) {
    const std::string stored = test::ReadFile(paths.engineConfig);
    prompter.AnswerNo();
    Click("cacheRestoreButton");
    EXPECT_EQ(prompter.questions().at(0), "do you really want to restore the settings?");
    EXPECT_EQ(Text("cacheMeshMediumEdit"), "-1294967296");  // standard: 40000000

    QLineEdit* highMesh = Find("cacheMeshHighEdit");
    highMesh->clear();
    Click("cacheSaveButton");
    EXPECT_EQ(prompter.notices().at(0),
              "please enter a number for \"mesh, resource cache - high\".");
    EXPECT_EQ(dialog->focusWidget(), highMesh);

    Type(highMesh, "96000000");
    test::MakeReadOnly(paths.engineConfig);
    Click("cacheSaveButton");
    ASSERT_EQ(prompter.errors().size(), 1u);
    EXPECT_NE(prompter.errors()[0].find(paths.engineConfig.string()), std::string::npos);
    EXPECT_TRUE(dialog->isVisible() && highMesh->text() == "96000000");

    // Enter in a field presses "&close", which writes nothing.
    QTest::keyClick(highMesh, Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(test::ReadFile(paths.engineConfig), stored);
}

}  // namespace
}  // namespace vk3
