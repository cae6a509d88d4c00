#include <QApplication>
#include <QStyleFactory>

#include <gtest/gtest.h>

// The widget tests run headless on the offscreen platform, in the style the program uses.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
