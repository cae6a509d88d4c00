#include "cache_dialog/cache_settings_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "fake_prompter.h"
#include "main_dialog/main_dialog.h"
#include "profile/profile_store.h"
#include "temp_dir.h"

namespace vk3 {
namespace {

class CacheSettingsDialogTest : public ::testing::Test {
protected:
    CacheSettingsDialogTest() {
        test::WriteFile(paths.engineConfig,
                        "[Engine.Setup]\r\nCache.SizeImage=128000000\r\n[Option.Sliders]\r\n"
                        "ResourceCache.u32ImageMaxMemUsage_Low=32000000\r\n"
                        "ResourceCache.u32MeshMaxMemUsage_Medium=3000000000\r\n"
                        "ResourceCache.u32ImageMaxMemUsage_TextureQualityHigh=350000000\r\n");
    }
    template <typename T = QLineEdit>
    static T* Find(QWidget& dialog, const char* name) {
        T* widget = dialog.findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    // The text of a field or a label.
    static QString Text(QWidget& dialog, const char* name) {
        return Find<QWidget>(dialog, name)->property("text").toString();
    }
    static void Type(QLineEdit* field, const QString& text) {
        field->selectAll();
        QTest::keyClicks(field, text);
    }

    test::TempDir dir;
    InstallationPaths paths = test::InstallationUnder(dir.path());
    test::FakePrompter prompter;
};

TEST_F(CacheSettingsDialogTest, OpensFromTheMainDialogFollowsTypingScalesAndSaves) {
    MainDialog main(paths, {"1024x768@60Hz"}, prompter);
    main.show();
    bool opened = false;
    ChildDialogs children;
    children.cacheSettings = [&](QWidget* owner, const InstallationPaths& given) {
        CacheSettingsDialog dialog(given.engineConfig, prompter, owner);
        dialog.show();
        opened = dialog.parentWidget() == &main && dialog.windowTitle().isEmpty();
        EXPECT_EQ(dialog.focusWidget(), Find(dialog, "cacheImageCommonEdit"));
        QLineEdit* lowImage = Find(dialog, "cacheImageLowEdit");
        EXPECT_EQ(lowImage->accessibleName(), "image, resource cache - low");
        EXPECT_EQ(lowImage->toolTip(), "Standard: 32000000");
        EXPECT_EQ(Find(dialog, "cacheTotalCacheHighField")->toolTip(),
                  "total + high quality texture cache");
        EXPECT_EQ(Find<QPushButton>(dialog, "cacheScaleDownLowButton")->toolTip(),
                  "decrease cache");
        QLineEdit* mediumMesh = Find(dialog, "cacheMeshMediumEdit");
        QTest::keyClick(mediumMesh, Qt::Key_Home);
        QTest::keyClicks(mediumMesh, "7");  // a shown minus stays first
        QTest::keyClick(mediumMesh, Qt::Key_End);
        QTest::keyClick(mediumMesh, Qt::Key_Backspace);
        EXPECT_EQ(mediumMesh->text(), "-129496729");

        Type(lowImage, "40000000");
        QTest::keyClicks(lowImage, "-");  // only digits can be typed
        EXPECT_EQ(lowImage->text(), "40000000");
        EXPECT_EQ(Text(dialog, "cacheImageLowLabel"), "38.15 MB");
        EXPECT_EQ(Text(dialog, "cacheTotalCacheLowField"), "390000000");
        Type(Find(dialog, "cacheHighQualityTexturesEdit"), "0");
        EXPECT_EQ(Text(dialog, "cacheTotalCacheLowField"), "40000000");

        Type(Find(dialog, "cacheModifyLowEdit"), "10");
        QTest::mouseClick(Find<QPushButton>(dialog, "cacheScaleUpLowButton"), Qt::LeftButton);
        EXPECT_EQ(lowImage->text(), "44000000");
        EXPECT_EQ(Text(dialog, "cacheTotalLowLabel"), "41.96 MB");
        QTest::mouseClick(Find<QPushButton>(dialog, "cacheSaveButton"), Qt::LeftButton);
        EXPECT_FALSE(dialog.isVisible());
    };
    main.SetChildDialogs(children);
    QTest::mouseClick(Find<QPushButton>(main, "cacheSettingsButton"), Qt::LeftButton);
    EXPECT_TRUE(opened);
    const ProfileReader saved(paths.engineConfig);
    EXPECT_EQ(saved.ReadString("Option.Sliders", "ResourceCache.u32ImageMaxMemUsage_Low", ""),
              "44000000");
    EXPECT_EQ(saved.ReadString("Option.Sliders", "ResourceCache.u32MeshMaxMemUsage_Medium", ""),
              "-129496729");
}

TEST_F(CacheSettingsDialogTest, FailuresAndRefusalsKeepTheDialogAndTheFile) {
    QWidget owner;
    CacheSettingsDialog dialog(paths.engineConfig, prompter, &owner);
    dialog.show();
    const std::string stored = test::ReadFile(paths.engineConfig);

    prompter.AnswerNo();
    QTest::mouseClick(Find<QPushButton>(dialog, "cacheRestoreButton"), Qt::LeftButton);
    EXPECT_EQ(prompter.questions().at(0), "do you really want to restore the settings?");
    EXPECT_EQ(Text(dialog, "cacheMeshMediumEdit"), "-1294967296");  // standard: 40000000

    QLineEdit* highMesh = Find(dialog, "cacheMeshHighEdit");
    highMesh->clear();
    QTest::mouseClick(Find<QPushButton>(dialog, "cacheSaveButton"), Qt::LeftButton);
    EXPECT_EQ(prompter.notices().at(0),
              "please enter a number for \"mesh, resource cache - high\".");
    EXPECT_EQ(dialog.focusWidget(), highMesh);

    Type(highMesh, "96000000");
    test::MakeReadOnly(paths.engineConfig);
    QTest::mouseClick(Find<QPushButton>(dialog, "cacheSaveButton"), Qt::LeftButton);
    ASSERT_EQ(prompter.errors().size(), 1u);
    EXPECT_NE(prompter.errors()[0].find(paths.engineConfig.string()), std::string::npos);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(highMesh->text(), "96000000");

    // Enter in a field presses "&close", which writes nothing.
    QTest::keyClick(highMesh, Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(test::ReadFile(paths.engineConfig), stored);
}

}  // namespace
}  // namespace vk3
