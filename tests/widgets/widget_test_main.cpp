#include <QApplication>
#include <QStyleFactory>

#include <gtest/gtest.h>

// The widget tests run headless on the offscreen platform, in the style the program uses,
// and SDL makes no sound and opens no window.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("SDL_VIDEODRIVER", "dummy");
    qputenv("SDL_AUDIODRIVER", "dummy");
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
