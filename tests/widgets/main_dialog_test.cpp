#include "main_dialog/main_dialog.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

#include "app/installation_locator.h"
#include "fake_prompter.h"
#include "maintenance/backup_file.h"
#include "maintenance/start_logos.h"
#include "platform/qt_platform.h"
#include "profile/profile_store.h"
#include "settings/setting_rows.h"
#include "temp_dir.h"

namespace vk3 {
namespace {

using test::FakePrompter;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

const std::vector<std::string> kModes = {"800x600@60Hz", "1024x768@60Hz", "1280x768@60Hz",
                                         "1680x1050@60Hz"};

// Writes the two files the dialog reads.
InstallationPaths WrittenInstallation(const TempDir& dir) {
    const InstallationPaths paths = test::InstallationUnder(dir.path());
    WriteFile(paths.userOptions,
              "[Options.Custom]\r\nDistanceHigh=2\r\nTextureQuality=1\r\nShadowQuality=0\r\n"
              "[Options.Video]\r\nResolution.Width=1680\r\nResolution.Height=1050\r\n"
              "Resolution.RefreshRate=60\r\n");
    WriteFile(paths.engineConfig,
              "; engine\r\n[Engine.Setup]\r\nEntity.ROI=4000.0\r\nRender.Gamma=1.2\r\n");
    return paths;
}

template <typename T = QWidget>
T* Find(const QWidget& dialog, const char* name) {
    T* widget = dialog.findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

void Click(const QWidget& dialog, const char* button) {
    QTest::mouseClick(Find<QPushButton>(dialog, button), Qt::LeftButton);
}

const MaintenanceActions kMaintenance = {
    CreateBackup, LoadBackup, RemoveStartLogos, RestoreStartLogos, {}};

class MainDialogTest : public ::testing::Test {
protected:
    MainDialogTest() {
        dialog.SetMaintenanceActions(kMaintenance);
        dialog.show();
    }

    TempDir dir;
    InstallationPaths paths = WrittenInstallation(dir);
    FakePrompter prompter;
    MainDialog dialog{paths, kModes, prompter};
};

TEST_F(MainDialogTest, ShowsEveryControlLabelledInTabOrderWithHintsAndColours) {
    QApplication::setActiveWindow(&dialog);
    EXPECT_EQ(dialog.windowTitle(), "Veskaran 3 - Tuning Utility");
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());  // not resizable
    EXPECT_TRUE(dialog.windowIcon().availableSizes().contains(QSize(16, 16)));

    // Every setting is announced by its caption, and its caption's label leads to it.
    for (const SettingRow& info : MainSettingRows()) {
        QWidget* control = Find(dialog, std::string(info.objectName).c_str());
        ASSERT_NE(control, nullptr);
        const QString caption = ToQString(info.caption);
        EXPECT_EQ(control->accessibleName() + ":", caption);
        const QList<QLabel*> labels = dialog.findChildren<QLabel*>();
        EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [&](QLabel* label) {
            return label->buddy() == control && label->text() == caption;
        })) << info.objectName;
    }
    // The aspect ratio reads as its value and is labelled by its caption.
    QLabel* aspect = Find<QLabel>(dialog, "aspectRatioLabel");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(aspect)->text(QAccessible::Name), "16:10");
    EXPECT_EQ(Find<QLabel>(dialog, "aspectRatioCaption")->buddy(), aspect);

    EXPECT_EQ(Find(dialog, "shadowQualityList")->toolTip(), "default: low");

    // Tab order: the common group with its logo buttons, the advanced group, the bottom row.
    const std::pair<const char*, const char*> tabOrder[] = {
        // clang-format off
        {"resolutionList", ""}, {"viewRangeHighList", ""}, {"postProcessingList", ""},
        {"restoreStartLogosButton", "restore s&tartlogos"},
        {"removeStartLogosButton", "remo&ve startlogos"},
        {"vegetationList", ""}, {"vegetationQualityList", ""}, {"imageQualityList", ""},
        {"cacheSettingsButton", "&cache settings..."}, {"otherSettingsButton", "&other settings"},
        {"restoreSettingsButton", "&restore settings"}, {"loadBackupButton", "&load backup..."},
        {"createBackupButton", "create &backup..."}, {"saveSettingsButton", "&save settings"},
        {"quitButton", "&quit"}, {"creditsButton", "&credits"},
        // clang-format on
    };
    std::vector<std::string> chain;
    QWidget* widget = Find(dialog, "resolutionList");
    do {
        if (widget->focusPolicy() & Qt::TabFocus) {
            chain.push_back(widget->objectName().toStdString());
        }
        widget = widget->nextInFocusChain();
    } while (widget->objectName() != "resolutionList");
    auto position = chain.begin();
    for (const auto& [name, caption] : tabOrder) {
        position = std::find(position, chain.end(), name);
        ASSERT_NE(position, chain.end()) << name << " out of tab order";
        if (*caption) {
            auto* button = Find<QPushButton>(dialog, name);
            EXPECT_EQ(button->text(), caption);
            EXPECT_TRUE(button->toolTip().isEmpty()) << name;
        }
    }
    EXPECT_TRUE(Find<QPushButton>(dialog, "quitButton")->isDefault());

    // Every kind of control draws in the dialog's scheme, popups and hints included; the
    // separator is a grey line.
    const QColor text(220, 150, 0);
    const QColor background(75, 0, 0);
    for (const char* name : {"textureQualityList", "viewRangeVegetationEdit", "saveSettingsButton",
                             "commonSettingsGroup", "versionLabel"}) {
        const QPalette palette = Find(dialog, name)->palette();
        for (const auto& [front, back] : {std::pair{QPalette::WindowText, QPalette::Window},
                                          {QPalette::Text, QPalette::Base},
                                          {QPalette::ButtonText, QPalette::Button}}) {
            EXPECT_EQ(palette.color(front), text) << name;
            EXPECT_EQ(palette.color(back), background) << name;
        }
    }
    EXPECT_EQ(Find<QComboBox>(dialog, "imageQualityList")->view()->palette().color(QPalette::Base),
              background);
    EXPECT_EQ(QToolTip::palette().color(QPalette::ToolTipBase), background);
    EXPECT_EQ(QToolTip::palette().color(QPalette::ToolTipText), text);
    EXPECT_EQ(Find(dialog, "separator")->palette().color(QPalette::Window), QColor(128, 128, 128));
}

TEST_F(MainDialogTest, EnterPressesTheFocusedButtonOrQuitsFromAListOrField) {
    const struct {
        const char* focus;
        bool quits;
        std::vector<std::string> notices = {}, questions = {};  // questions are answered No
    } cases[] = {
        {"textureFilterList", true},
        {"viewRangeNpcEdit", true},
        {"saveSettingsButton", false, {"settings saved"}},
        {"restoreSettingsButton", false, {}, {"do you really want to restore the settings?"}},
        {"removeStartLogosButton", false, {}, {"do you really want to remove the startlogos?"}},
        {"quitButton", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.focus);
        FakePrompter answers;
        if (!c.questions.empty()) {
            answers.AnswerNo();
        }
        MainDialog entered(paths, kModes, answers);
        entered.SetMaintenanceActions(kMaintenance);
        entered.show();
        QWidget* focus = Find(entered, c.focus);
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_Return);
        EXPECT_EQ(entered.isVisible(), !c.quits);
        EXPECT_EQ(entered.result(), c.quits ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(answers.notices(), c.notices);
        EXPECT_EQ(answers.questions(), c.questions);
    }
}

TEST_F(MainDialogTest, SavesBothFilesOrNeitherKeepingUntouchedValues) {
    QComboBox* texture = Find<QComboBox>(dialog, "textureQualityList");
    texture->setFocus();
    QTest::keyClick(texture, Qt::Key_Down);  // low -> medium
    QLineEdit* ragdolls = Find<QLineEdit>(dialog, "maxRagdollsEdit");
    ragdolls->clear();
    QTest::keyClicks(ragdolls, "125");
    Click(dialog, "saveSettingsButton");
    EXPECT_EQ(prompter.notices(), std::vector<std::string>{"settings saved"});
    EXPECT_EQ(ReadProfileString(paths.userOptions, "Options.Custom", "TextureQuality", ""), "2");
    EXPECT_EQ(ReadProfileString(paths.engineConfig, "Engine.Setup", "Animation.MaxRagDolls", ""),
              "125");
    // One file cannot be written: the error names it, and the user options stay as saved.
    const std::string engineBefore = ReadFile(paths.engineConfig);
    const std::string userBefore = ReadFile(paths.userOptions);
    test::MakeReadOnly(paths.engineConfig);
    texture->setCurrentIndex(2);
    Find<QLineEdit>(dialog, "viewRangeNpcEdit")->setText("4100");
    Click(dialog, "saveSettingsButton");
    ASSERT_EQ(prompter.errors().size(), 1u);
    EXPECT_NE(prompter.errors()[0].find("vkmain.ini\": the file is read-only"), std::string::npos);
    EXPECT_EQ(prompter.notices().size(), 1u);  // not reported as saved
    EXPECT_EQ(ReadFile(paths.userOptions), userBefore);

    // Changes not saved: quitting asks, No keeps the dialog, Yes closes; neither writes.
    prompter.AnswerNo().AnswerYes();
    Click(dialog, "quitButton");
    EXPECT_TRUE(dialog.isVisible());
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(prompter.questionsDefaultNo(),
              std::vector<std::string>(2, "the settings were changed. quit without saving?"));
    EXPECT_EQ(ReadFile(paths.engineConfig), engineBefore);
    EXPECT_EQ(ReadFile(paths.userOptions), userBefore);
}

TEST_F(MainDialogTest, RestoreAndBackupButtonsAskFirst) {
    QComboBox* high = Find<QComboBox>(dialog, "viewRangeHighList");
    QLineEdit* npc = Find<QLineEdit>(dialog, "viewRangeNpcEdit");
    ASSERT_EQ(high->currentText(), "medium");
    npc->setText("50");
    high->setCurrentIndex(0);
    prompter.AnswerNo().AnswerYes();
    Click(dialog, "restoreSettingsButton");
    EXPECT_EQ(npc->text(), "50");
    Click(dialog, "restoreSettingsButton");
    EXPECT_EQ(npc->text(), "4000");
    EXPECT_EQ(Find<QLabel>(dialog, "aspectRatioLabel")->text(), "4:3");

    // A loaded backup is shown at once.
    const std::filesystem::path backup = dir / "saves/settings.vib";
    std::filesystem::create_directories(backup.parent_path());
    prompter.ChooseFile(backup);
    Click(dialog, "createBackupButton");
    ASSERT_TRUE(std::filesystem::exists(backup));
    WriteFile(paths.userOptions, "[Options.Custom]\r\nDistanceHigh=1\r\n");
    high->setCurrentIndex(0);
    prompter.AnswerYes().ChooseFile(backup);
    Click(dialog, "loadBackupButton");
    EXPECT_EQ(high->currentText(), "medium");  // reloaded from the restored file
    EXPECT_TRUE(prompter.errors().empty());
}

TEST_F(MainDialogTest, ASaveThatCannotReachTheDocumentsFolderSaysHowToChooseAnother) {
    dialog.SetDocumentsFolderChooser([](Prompter& asker, const InstallationPaths& current) {
        return ChooseDocumentsFolder(asker, current, nullptr);
    });
    std::filesystem::remove_all(dir / "docs");
    QComboBox* texture = Find<QComboBox>(dialog, "textureQualityList");
    texture->setCurrentIndex(2);
    Click(dialog, "saveSettingsButton");
    ASSERT_EQ(prompter.errors().size(), 1u);
    EXPECT_NE(prompter.errors()[0].find("with \"change...\" beside \"documents:\"."),
              std::string::npos);

    // Picked as its veskaran3 folder; the change not saved is given up only after asking.
    const std::filesystem::path documents = dir / "prefix/Documents";
    WriteFile(documents / "veskaran3/UserOptions.ini", "[Options.Custom]\r\nTextureQuality=1\r\n");
    prompter.AnswerNo().AnswerYes().ChooseFile(documents / "veskaran3");
    Click(dialog, "changeDocumentsFolderButton");
    EXPECT_EQ(texture->currentText(), "high");
    Click(dialog, "changeDocumentsFolderButton");
    EXPECT_EQ(prompter.questionsDefaultNo(),
              std::vector<std::string>(
                  2, "the settings were changed. change the documents folder without saving?"));
    EXPECT_EQ(prompter.dialogs().at(0).request.initialName, (dir / "docs").string());
    EXPECT_EQ(Find<QLineEdit>(dialog, "documentsFolderField")->toolTip().toStdString(),
              documents.string());
    EXPECT_EQ(texture->currentText(), "low");
    texture->setCurrentIndex(1);
    Click(dialog, "saveSettingsButton");
    EXPECT_EQ(ReadFile(documents / "veskaran3/UserOptions.ini")
                  .rfind("[Options.Custom]\r\nTextureQuality=2\r\n", 0),
              0u);
}

TEST_F(MainDialogTest, ChildDialogsOpenOneAtATimeWithTheOwnerAndPaths) {
    Click(dialog, "cacheSettingsButton");  // without a dialog behind it, nothing happens
    std::vector<std::string> opened;
    QPushButton* other = Find<QPushButton>(dialog, "otherSettingsButton");
    ChildDialogs children;
    children.otherSettings = [&](QWidget* owner, const InstallationPaths& given) {
        opened.push_back(given.debugConfig.string());
        EXPECT_EQ(owner, &dialog);
        QDialog child(owner);
        child.setModal(true);
        child.show();
        other->click();  // a second one while the first is open is not opened
        child.accept();
    };
    children.credits = [&](QWidget*, const InstallationPaths&) { opened.push_back("credits"); };
    dialog.SetChildDialogs(children);
    QTest::mouseClick(other, Qt::LeftButton);
    Click(dialog, "creditsButton");
    EXPECT_EQ(opened, (std::vector<std::string>{paths.debugConfig.string(), "credits"}));
}

// A Proton prefix, and its documents folder, come with the game's first start.
TEST(MainDialogFolders, TheDocumentsRowSaysWhenTheFolderDoesNotExistYet) {
    TempDir dir;
    InstallationPaths paths = WrittenInstallation(dir);
    FakePrompter prompter;
    for (const bool exists : {true, false}) {
        if (!exists) {
            paths.userOptions =
                dir / "pfx/drive_c/users/steamuser/Documents/veskaran3/UserOptions.ini";
        }
        const MainDialog dialog{paths, kModes, prompter};
        const std::string folder =
            (exists ? dir / "docs" : dir / "pfx/drive_c/users/steamuser/Documents").string();
        EXPECT_EQ(Find<QLineEdit>(dialog, "documentsFolderField")->toolTip().toStdString(),
                  exists ? folder : folder + kDocumentsAfterFirstStart);
    }
}

TEST(QtPlatform, HintsWrapAndFileFiltersNameTheirPatternOnce) {
    QLabel control;
    const std::string longHint = "default:" + QString(" ultra").repeated(200).toStdString();
    SetHint(&control, longHint);
    const QStringList lines = control.toolTip().split('\n');
    EXPECT_GT(lines.size(), 1);
    for (const QString& line : lines) {
        EXPECT_LE(QFontMetrics(QToolTip::font()).horizontalAdvance(line), kHintMaxWidth);
    }
    EXPECT_EQ(control.toolTip().replace('\n', ' ').toStdString(), longHint);

    // A long folder is cut in the middle; the whole path is its hint and, in focus, its text.
    QWidget window;
    const QString folder = "/home/player" + QString("/a long folder").repeated(30) + "/Veskaran 3";
    QLineEdit* path = MakePathField(&window, "pathField", folder);
    window.show();
    path->resize(240, path->sizeHint().height());
    EXPECT_TRUE(path->text().startsWith("/home/player/") && path->text().contains(u'…') &&
                path->text().endsWith("/Veskaran 3"))
        << path->text().toStdString();
    EXPECT_EQ(path->toolTip(), folder);
    QApplication::setActiveWindow(&window);
    path->setFocus();
    EXPECT_EQ(path->text(), folder);

    EXPECT_EQ(FileDialogFilter({"", "executable (*.exe)", "*.exe", "", true}),
              "executable (*.exe)");
    EXPECT_EQ(FileDialogFilter({"", "backups", "*.vib", "", false}), "backups (*.vib)");
}

}  // namespace
}  // namespace vk3
