// Renders the main dialog on the demo installation into a picture, for the program's
// store listing: vk3screenshot EXAMPLES_FOLDER OUT.png (run with QT_QPA_PLATFORM=offscreen).
#include <QApplication>
#include <QStyleFactory>

#include <cstdio>
#include <filesystem>

#include "main_dialog/main_dialog.h"
#include "platform/qt_platform.h"
#include "settings/resolution.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: vk3screenshot EXAMPLES_FOLDER OUT.png\n", stderr);
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    const std::filesystem::path examples = argv[1];
    const vk3::InstallationPaths paths{examples / "Veskaran3/Ini/vkmain.ini",
                                       examples / "Veskaran3/Ini/debug.ini",
                                       examples / "Documents/veskaran3/UserOptions.ini"};
    // A common monitor's modes, so that the picture does not depend on the machine.
    const std::vector<vk3::DisplayMode> modes = {
        {1024, 768, 60}, {1280, 720, 60}, {1280, 1024, 60}, {1920, 1080, 60}};
    vk3::QtPrompter prompter;
    vk3::MainDialog dialog(paths, vk3::ResolutionEntries(modes), prompter);
    dialog.show();
    return dialog.grab().save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
