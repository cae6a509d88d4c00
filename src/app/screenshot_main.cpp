// Renders the program's dialogs on the demo installation into pictures, for the store listing
// and for a person checking the layout: vk3screenshot EXAMPLES_FOLDER OUT_FOLDER (run with
// QT_QPA_PLATFORM=offscreen). Writes main-dialog.png, cache-settings.png, other-settings.png
// and credits.png; the demo files are only read.
#include <QApplication>
#include <QStyleFactory>

#include <cstdio>
#include <filesystem>

#include "cache_dialog/cache_settings_dialog.h"
#include "credits/credits_dialog.h"
#include "main_dialog/main_dialog.h"
#include "other_dialog/other_settings_dialog.h"
#include "platform/music_player.h"
#include "platform/qt_platform.h"
#include "settings/resolution.h"

namespace {

struct SilentPlayer : vk3::MusicPlayer {
    bool Play(std::span<const std::byte>) override { return false; }
    void Stop() override {}
};

bool Render(QWidget& dialog, const std::filesystem::path& picture) {
    dialog.show();
    const bool saved = dialog.grab().save(QString::fromStdU16String(picture.u16string()));
    if (!saved) {
        std::fprintf(stderr, "vk3screenshot: could not write %s\n", picture.string().c_str());
    }
    dialog.hide();
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: vk3screenshot EXAMPLES_FOLDER OUT_FOLDER\n", stderr);
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    const std::filesystem::path examples = argv[1];
    const std::filesystem::path out = argv[2];
    const vk3::InstallationPaths paths{examples / "Veskaran3/Ini/vkmain.ini",
                                       examples / "Veskaran3/Ini/debug.ini",
                                       examples / "Documents/veskaran3/UserOptions.ini"};
    // A common monitor's modes, so that the picture does not depend on the machine.
    const std::vector<vk3::DisplayMode> modes = {
        {1024, 768, 60}, {1280, 720, 60}, {1280, 1024, 60}, {1920, 1080, 60}};
    vk3::QtPrompter prompter;
    SilentPlayer silent;
    vk3::MainDialog dialog(paths, vk3::ResolutionEntries(modes), prompter);
    vk3::CacheSettingsDialog cache(paths, prompter, &dialog);
    vk3::OtherSettingsDialog other(paths, prompter, &dialog);
    vk3::CreditsDialog credits(silent, &dialog);
    const bool all =
        Render(dialog, out / "main-dialog.png") && Render(cache, out / "cache-settings.png") &&
        Render(other, out / "other-settings.png") && Render(credits, out / "credits.png");
    return all ? 0 : 1;
}
