#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

#include "temp_dir.h"

namespace vk3 {
namespace {

struct ProgramRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// The built program in a bare environment: no display, home and XDG folders in the test's
// folder.
ProgramRun RunProgram(const std::filesystem::path& home, QStringList arguments) {
    QProcessEnvironment environment;
    const QString root = QString::fromStdString(home.string());
    environment.insert("HOME", root);
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME",
                             "XDG_RUNTIME_DIR"}) {
        environment.insert(name, root + "/" + name);
    }
    environment.insert("WINEPREFIX", root + "/wine");
    environment.insert("LANG", "C.UTF-8");
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(VK3TUNE_PATH, arguments);
    EXPECT_TRUE(program.waitForFinished(60000));
    return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
            program.readAllStandardOutput(), program.readAllStandardError()};
}

TEST(SettingsCommandLine, SetsAndShowsTheDemoInstallationWithoutADisplay) {
    test::TempDir dir;
    std::filesystem::copy(VK3_EXAMPLES_DIR, dir / "demo", std::filesystem::copy_options::recursive);
    const QStringList folders = {
        "--install-dir", QString::fromStdString((dir / "demo/Veskaran3").string()),
        "--documents-dir", QString::fromStdString((dir / "demo/Documents").string())};

    const ProgramRun set = RunProgram(
        dir.path(),
        folders + QStringList{"--set", "textureQualityList=medium", "objectQualityList=ultra high",
                              "resolutionList=1920x1080@75", "cacheImageLowEdit=64000000",
                              "playerMemoryList=enabled"});
    EXPECT_EQ(set.status, 0) << set.err.constData();
    EXPECT_TRUE(set.out.isEmpty() && set.err.isEmpty())
        << set.out.constData() << set.err.constData();
    EXPECT_EQ(test::FileNamesIn(dir / "XDG_STATE_HOME/vk3tune/safety").size(), 1u);

    const std::string engineBefore = test::ReadFile(dir / "demo/Veskaran3/Ini/vkmain.ini");
    const ProgramRun refused = RunProgram(
        dir.path(), folders + QStringList{"--set", "averageFpsEdit=50", "maxRagdollsEdit=-1"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(refused.err.startsWith("vk3tune: maxRagdollsEdit=-1 refused: "))
        << refused.err.constData();
    EXPECT_EQ(refused.err.count('\n'), 1);
    EXPECT_EQ(test::ReadFile(dir / "demo/Veskaran3/Ini/vkmain.ini"), engineBefore);

    const ProgramRun show = RunProgram(dir.path(), folders + QStringList{"--show", "--json"});
    ASSERT_EQ(show.status, 0) << show.err.constData();
    const QJsonObject settings = QJsonDocument::fromJson(show.out).object();
    const auto shown = [&](const char* name) { return settings[name]["shown"].toString(); };
    EXPECT_EQ(shown("textureQualityList"), "medium");
    EXPECT_EQ(shown("objectQualityList"), "ultra high");
    EXPECT_EQ(shown("resolutionList"), "1920x1080@75Hz");
    EXPECT_EQ(shown("cacheImageLowEdit"), "64000000");
    EXPECT_EQ(shown("playerMemoryList"), "enabled");
    EXPECT_EQ(shown("averageFpsEdit"), "30");
    EXPECT_EQ(settings.size(), 24 + 29 + 15);

    const QJsonObject texture = settings["textureQualityList"].toObject();
    EXPECT_EQ(texture["choices"].toArray(), QJsonArray({"low", "medium", "high"}));
    const QJsonObject key = texture["keys"].toArray().at(0).toObject();
    EXPECT_TRUE(key["file"].toString().endsWith("Documents/veskaran3/UserOptions.ini"));
    EXPECT_EQ(key["section"].toString(), "Options.Custom");
    EXPECT_EQ(key["key"].toString(), "TextureQuality");
    EXPECT_EQ(key["stored"].toString(), "2");
    EXPECT_EQ(settings["objectQualityList"]["stored"].toString(), "ultrahigh");
    EXPECT_EQ(settings["playerMemoryList"]["keys"][0]["stored"].toString(), "true");
    EXPECT_EQ(settings["averageFpsEdit"]["stored"].toString(), "30.0");
}

}  // namespace
}  // namespace vk3
