#include "main_dialog/main_dialog.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

#include "fake_prompter.h"
#include "platform/qt_platform.h"
#include "profile/profile_store.h"
#include "settings/catalogue.h"
#include "settings/hint.h"
#include "temp_dir.h"

namespace vk3 {
namespace {

using test::FakePrompter;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

const std::vector<std::string> kModes = {"800x600@60Hz", "1024x768@60Hz", "1280x768@60Hz",
                                         "1680x1050@60Hz"};

class MainDialogTest : public ::testing::Test {
protected:
    MainDialogTest() {
        paths = test::InstallationUnder(dir.path());
        WriteFile(paths.userOptions,
                  "[Options.Custom]\r\nDistanceHigh=2\r\nTextureQuality=1\r\nShadowQuality=0\r\n"
                  "[Options.Video]\r\nResolution.Width=1680\r\nResolution.Height=1050\r\n"
                  "Resolution.RefreshRate=60\r\n");
        WriteFile(paths.engineConfig,
                  "; engine\r\n[Engine.Setup]\r\nEntity.ROI=4000.0\r\nRender.Gamma=1.2\r\n");
    }

    template <typename T>
    T* Find(MainDialog& dialog, const char* name) {
        T* widget = dialog.findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    static QStringList Items(QComboBox* list) {
        QStringList items;
        for (int i = 0; i < list->count(); ++i) {
            items << list->itemText(i);
        }
        return items;
    }

    TempDir dir;
    InstallationPaths paths;
    FakePrompter prompter;
};

TEST_F(MainDialogTest, ShowsEveryControlWithItsCaptionItemsHintAndColours) {
    MainDialog dialog(paths, kModes, prompter);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Veskaran 3 - Tuning Utility");
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());  // not resizable

    for (const MainControlInfo& info : MainControls()) {
        QWidget* control = Find<QWidget>(dialog, std::string(info.objectName).c_str());
        ASSERT_NE(control, nullptr);
        QString caption = QString::fromUtf8(info.caption.data(), info.caption.size());
        caption.chop(1);
        EXPECT_EQ(control->accessibleName(), caption);
        EXPECT_EQ(control->toolTip().toStdString(), "default: " + DefaultShown(info.control));
        bool labelled = false;
        for (QLabel* label : dialog.findChildren<QLabel*>()) {
            labelled |= label->buddy() == control && label->text() == caption + ":";
        }
        EXPECT_TRUE(labelled) << info.objectName;
        if (auto* list = qobject_cast<QComboBox*>(control)) {
            EXPECT_FALSE(list->isEditable());
            QStringList expected;
            for (const std::string& item :
                 info.control == MainControl::Resolution ? kModes : ItemsOf(info.control)) {
                expected << QString::fromStdString(item);
            }
            EXPECT_EQ(Items(list), expected) << info.objectName;
        }
    }
    EXPECT_EQ(Items(Find<QComboBox>(dialog, "viewRangeLowList")),
              QStringList({"disabled", "low", "medium", "high"}));
    EXPECT_EQ(Find<QComboBox>(dialog, "shadowQualityList")->toolTip(), "default: low");
    EXPECT_EQ(Find<QComboBox>(dialog, "resolutionList")->toolTip(), "default: 1024x768@60Hz");

    const std::vector<std::pair<const char*, const char*>> buttons = {
        {"restoreStartLogosButton", "restore s&tartlogos"},
        {"removeStartLogosButton", "remo&ve startlogos"},
        {"cacheSettingsButton", "&cache settings..."},
        {"otherSettingsButton", "&other settings"},
        {"restoreSettingsButton", "&restore settings"},
        {"loadBackupButton", "&load backup..."},
        {"createBackupButton", "create &backup..."},
        {"saveSettingsButton", "&save settings"},
        {"quitButton", "&quit"},
        {"creditsButton", "&credits"}};
    for (const auto& [name, caption] : buttons) {
        QPushButton* button = Find<QPushButton>(dialog, name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), caption);
        EXPECT_TRUE(button->toolTip().isEmpty()) << name;
    }
    EXPECT_TRUE(Find<QPushButton>(dialog, "quitButton")->isDefault());
    QStringList texts;
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        texts << label->text();
    }
    for (const char* text :
         {"version 1.0", "use of this tool is at you own risk!", "acpect ratio:"}) {
        EXPECT_TRUE(texts.contains(text)) << text;
    }
    EXPECT_EQ(Find<QGroupBox>(dialog, "commonSettingsGroup")->title(), "common settings");
    EXPECT_EQ(Find<QGroupBox>(dialog, "advancedSettingsGroup")->title(), "advanced settings");

    // Loaded values are shown, and the label follows the resolution.
    EXPECT_EQ(Find<QComboBox>(dialog, "viewRangeHighList")->currentText(), "medium");
    EXPECT_EQ(Find<QComboBox>(dialog, "shadowQualityList")->currentText(), "disabled");
    EXPECT_EQ(Find<QLineEdit>(dialog, "viewRangeNpcEdit")->text(), "4000");
    EXPECT_EQ(Find<QLabel>(dialog, "aspectRatioLabel")->text(), "16:10");
    Find<QComboBox>(dialog, "resolutionList")->setCurrentIndex(2);
    EXPECT_EQ(Find<QLabel>(dialog, "aspectRatioLabel")->text(), "16:9");

    // Every kind of control draws in the dialog's scheme, popups included.
    const QColor text(220, 150, 0);
    const QColor background(75, 0, 0);
    for (const char* name : {"textureQualityList", "viewRangeVegetationEdit", "saveSettingsButton",
                             "commonSettingsGroup", "versionLabel"}) {
        QWidget* widget = Find<QWidget>(dialog, name);
        EXPECT_EQ(widget->palette().color(QPalette::WindowText), text) << name;
        EXPECT_EQ(widget->palette().color(QPalette::Text), text) << name;
        EXPECT_EQ(widget->palette().color(QPalette::ButtonText), text) << name;
        EXPECT_EQ(widget->palette().color(QPalette::Window), background) << name;
        EXPECT_EQ(widget->palette().color(QPalette::Base), background) << name;
        EXPECT_EQ(widget->palette().color(QPalette::Button), background) << name;
    }
    QComboBox* list = Find<QComboBox>(dialog, "imageQualityList");
    EXPECT_EQ(list->view()->palette().color(QPalette::Base), background);
    EXPECT_EQ(list->view()->palette().color(QPalette::Text), text);

    if (const QByteArray folder = qgetenv("VK3_SCREENSHOT_DIR"); !folder.isEmpty()) {
        dialog.grab().save(QString::fromLocal8Bit(folder) + "/main_dialog.png");
    }
}

TEST_F(MainDialogTest, KeyboardChangeAndSaveReachTheFiles) {
    MainDialog dialog(paths, kModes, prompter);
    dialog.show();
    QComboBox* texture = Find<QComboBox>(dialog, "textureQualityList");
    ASSERT_EQ(texture->currentText(), "low");
    texture->setFocus();
    QTest::keyClick(texture, Qt::Key_Down);
    EXPECT_EQ(texture->currentText(), "medium");
    QLineEdit* ragdolls = Find<QLineEdit>(dialog, "maxRagdollsEdit");
    ragdolls->clear();
    QTest::keyClicks(ragdolls, "12x5");  // the letter is refused
    EXPECT_EQ(ragdolls->text(), "125");

    QTest::mouseClick(Find<QPushButton>(dialog, "saveSettingsButton"), Qt::LeftButton);
    EXPECT_EQ(prompter.notices(), std::vector<std::string>{"settings saved"});
    EXPECT_EQ(ReadProfileString(paths.userOptions, "Options.Custom", "TextureQuality", ""), "2");
    EXPECT_EQ(ReadProfileString(paths.engineConfig, "Engine.Setup", "Animation.MaxRagDolls", ""),
              "125");
    EXPECT_TRUE(ReadFile(paths.engineConfig).starts_with("; engine\r\n[Engine.Setup]\r\n"));
}

TEST_F(MainDialogTest, FailedSaveAndEmptiedFieldsAreReportedNotConfirmed) {
    MainDialog dialog(paths, kModes, prompter);
    dialog.show();
    const std::string engineBefore = ReadFile(paths.engineConfig);
    test::MakeReadOnly(paths.engineConfig);
    QTest::mouseClick(Find<QPushButton>(dialog, "saveSettingsButton"), Qt::LeftButton);
    EXPECT_TRUE(prompter.notices().empty());
    ASSERT_EQ(prompter.errors().size(), 1u);
    EXPECT_NE(prompter.errors()[0].find("vkmain.ini"), std::string::npos);
    EXPECT_NE(prompter.errors()[0].find("read-only"), std::string::npos);
    EXPECT_EQ(ReadFile(paths.engineConfig), engineBefore);

    // An emptied field stops the save and the quit, with the focus on it.
    std::filesystem::permissions(paths.engineConfig, std::filesystem::perms::owner_all);
    QLineEdit* physics = Find<QLineEdit>(dialog, "viewRangePhysicsEdit");
    physics->clear();
    QTest::mouseClick(Find<QPushButton>(dialog, "saveSettingsButton"), Qt::LeftButton);
    QTest::mouseClick(Find<QPushButton>(dialog, "quitButton"), Qt::LeftButton);
    EXPECT_EQ(prompter.notices().size(), 2u);
    EXPECT_NE(prompter.notices()[0].find("view range physics"), std::string::npos);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.focusWidget(), physics);
    EXPECT_EQ(ReadFile(paths.engineConfig), engineBefore);

    // Escape closes all the same, and writes nothing.
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(ReadFile(paths.engineConfig), engineBefore);
}

TEST_F(MainDialogTest, EnterInAFieldQuitsAndRestoreAsksFirst) {
    MainDialog dialog(paths, kModes, prompter);
    dialog.show();
    QComboBox* high = Find<QComboBox>(dialog, "viewRangeHighList");
    QLineEdit* npc = Find<QLineEdit>(dialog, "viewRangeNpcEdit");
    npc->setText("50");

    prompter.AnswerNo();
    QTest::mouseClick(Find<QPushButton>(dialog, "restoreSettingsButton"), Qt::LeftButton);
    EXPECT_EQ(npc->text(), "50");
    EXPECT_EQ(high->currentText(), "medium");

    prompter.AnswerYes();
    high->setCurrentIndex(0);
    QTest::mouseClick(Find<QPushButton>(dialog, "restoreSettingsButton"), Qt::LeftButton);
    EXPECT_EQ(prompter.questions(),
              std::vector<std::string>(2, "do you really want to restore the settings?"));
    EXPECT_EQ(npc->text(), "4000");
    EXPECT_EQ(high->currentText(), "medium");
    EXPECT_EQ(Find<QComboBox>(dialog, "resolutionList")->currentText(), "1024x768@60Hz");
    EXPECT_EQ(Find<QLabel>(dialog, "aspectRatioLabel")->text(), "4:3");

    const std::string engineBefore = ReadFile(paths.engineConfig);
    npc->setFocus();
    QTest::keyClick(npc, Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(ReadFile(paths.engineConfig), engineBefore);  // quitting writes nothing
}

}  // namespace
}  // namespace vk3

namespace vk3 {
namespace {

TEST_F(MainDialogTest, ChildDialogsOpenOneAtATimeWithTheOwnerAndPaths) {
    MainDialog dialog(paths, kModes, prompter);
    dialog.show();
    // Without dialogs behind them the buttons do nothing.
    QTest::mouseClick(Find<QPushButton>(dialog, "cacheSettingsButton"), Qt::LeftButton);

    std::vector<std::string> opened;
    QPushButton* other = Find<QPushButton>(dialog, "otherSettingsButton");
    ChildDialogs children;
    children.otherSettings = [&](QWidget* owner, const InstallationPaths& given) {
        opened.push_back(given.debugConfig.string());
        EXPECT_EQ(owner, &dialog);
        QDialog child(owner);
        child.setModal(true);
        child.show();
        EXPECT_EQ(QApplication::activeModalWidget(), &child);
        other->click();  // a second one while the first is open is not opened
        child.accept();
    };
    children.credits = [&](QWidget*, const InstallationPaths&) { opened.push_back("credits"); };
    dialog.SetChildDialogs(children);
    QTest::mouseClick(other, Qt::LeftButton);
    QTest::mouseClick(Find<QPushButton>(dialog, "creditsButton"), Qt::LeftButton);
    EXPECT_EQ(opened, (std::vector<std::string>{paths.debugConfig.string(), "credits"}));
}

TEST(Hints, LongHintsWrapAtAThousandPixels) {
    QLabel control;
    SetHint(&control, JoinHint(kDefaultHintPrefix, "medium"));
    EXPECT_EQ(control.toolTip(), "default: medium");
    std::string longHint = "default:";
    for (int i = 0; i < 200; ++i) {
        longHint += " ultra";
    }
    SetHint(&control, longHint);
    const QStringList lines = control.toolTip().split('\n');
    EXPECT_GT(lines.size(), 1);
    const QFontMetrics metrics(QToolTip::font());
    for (const QString& line : lines) {
        EXPECT_LE(metrics.horizontalAdvance(line), kHintMaxWidth);
    }
    EXPECT_EQ(control.toolTip().replace('\n', ' ').toStdString(), longHint);
}

}  // namespace
}  // namespace vk3

namespace vk3 {
namespace {

TEST_F(MainDialogTest, ALoadedBackupIsShownAndTheLogoButtonsAskFirst) {
    MainDialog dialog(paths, kModes, prompter);
    dialog.show();
    QComboBox* high = Find<QComboBox>(dialog, "viewRangeHighList");
    ASSERT_EQ(high->currentText(), "medium");

    const std::filesystem::path backup = dir / "saves/settings.vib";
    std::filesystem::create_directories(backup.parent_path());
    prompter.ChooseFile(backup);
    QTest::mouseClick(Find<QPushButton>(dialog, "createBackupButton"), Qt::LeftButton);
    ASSERT_TRUE(std::filesystem::exists(backup));

    WriteFile(paths.userOptions, "[Options.Custom]\r\nDistanceHigh=1\r\n");
    high->setCurrentIndex(0);
    prompter.AnswerYes().ChooseFile(backup);
    QTest::mouseClick(Find<QPushButton>(dialog, "loadBackupButton"), Qt::LeftButton);
    EXPECT_EQ(high->currentText(), "medium");  // reloaded from the restored file
    EXPECT_TRUE(prompter.errors().empty());

    const std::filesystem::path logos = dir / "game/Ini/logo.ini";
    prompter.AnswerNo();
    QTest::mouseClick(Find<QPushButton>(dialog, "removeStartLogosButton"), Qt::LeftButton);
    EXPECT_FALSE(std::filesystem::exists(logos));
    prompter.AnswerYes();
    QTest::mouseClick(Find<QPushButton>(dialog, "removeStartLogosButton"), Qt::LeftButton);
    EXPECT_EQ(ReadFile(logos), "VK3_Logo_01.bik");
    prompter.AnswerYes();
    QTest::mouseClick(Find<QPushButton>(dialog, "restoreStartLogosButton"), Qt::LeftButton);
    EXPECT_EQ(ReadFile(logos),
              "VK3_Logo_01.bik\r\nVK3_Logo_02.bik\r\nVK3_Logo_03.bik\r\nVK3_Logo_04.bik\r\n"
              "VK3_Logo_05.bik");
}

}  // namespace
}  // namespace vk3

namespace vk3 {
namespace {

TEST_F(MainDialogTest, EnterInADropDownListPressesQuitAndTheWindowHasItsIcon) {
    MainDialog dialog(paths, kModes, prompter);
    dialog.show();
    EXPECT_FALSE(dialog.windowIcon().isNull());
    EXPECT_TRUE(dialog.windowIcon().availableSizes().contains(QSize(16, 16)));
    QComboBox* filter = Find<QComboBox>(dialog, "textureFilterList");
    filter->setFocus();
    QTest::keyClick(filter, Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

#ifndef _WIN32
TEST(SystemInstallationRecord, KeepsTheFolderInTheUsersConfigurationFolder) {
    TempDir config;
    const QByteArray previous = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.path().string()));
    SystemInstallationRecord record;
    EXPECT_EQ(record.Read(), "");
    EXPECT_TRUE(record.Write("/games/Veskaran 3"));
    EXPECT_EQ(record.Read(), "/games/Veskaran 3");
    EXPECT_EQ(ReadFile(config / "Quellmark/Veskaran III.ini"),
              "[General]\r\nINSTALL_DIR=/games/Veskaran 3\r\n");
    if (previous.isNull()) {
        qunsetenv("XDG_CONFIG_HOME");
    } else {
        qputenv("XDG_CONFIG_HOME", previous);
    }
}
#endif

}  // namespace
}  // namespace vk3
