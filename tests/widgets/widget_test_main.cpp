#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QStyleFactory>

#include <gtest/gtest.h>

namespace {

// With VK3_SCREENSHOT_DIR set, every dialog the tests show is saved there as
// <objectName>.png, so that a person can look at what the tests drove.
class Screenshots : public QObject {
public:
    explicit Screenshots(QString folder) : folder_(std::move(folder)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (event->type() == QEvent::Show && dialog != nullptr && dialog->isWindow()) {
            const QString name = dialog->objectName().isEmpty()
                                     ? QString(dialog->metaObject()->className())
                                     : dialog->objectName();
            dialog->grab().save(folder_ + "/" + name + ".png");
        }
        return false;
    }

private:
    QString folder_;
};

}  // namespace

// The widget tests run headless on the offscreen platform, in the style the program uses.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    Screenshots screenshots(qEnvironmentVariable("VK3_SCREENSHOT_DIR"));
    if (qEnvironmentVariableIsSet("VK3_SCREENSHOT_DIR")) {
        app.installEventFilter(&screenshots);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
