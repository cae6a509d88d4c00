// Linked with the program's own main(): once the program runs its main dialog, this opens
// each dialog through its button, checks it and closes it with Escape, then quits with
// Escape. The process ends with the program's status, or 1 when a check failed. Run on a real
// display by tests/smoke/run-smoke, with the program's options:
//   VK3_SMOKE_WITHIN_SCREEN=1: each dialog's frame must lie within its screen's free area
//     (only where windows have positions, not on Wayland);
//   VK3_SMOKE_PICTURES=DIR: each dialog is saved as DIR/NAME.png.
#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <cstdlib>

namespace {

int failures = 0;

void Fail(const QString& what) {
    std::fprintf(stderr, "dialog_smoke: %s\n", qPrintable(what));
    ++failures;
}

// "x,y wxh", as a failure names a place.
QString Describe(const QRect& r) {
    return QString("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// The text of the label that names the control (its buddy), as screen readers find it.
QString LabelOf(QAccessibleInterface* accessible) {
    for (const auto& [label, relation] : accessible->relations(QAccessible::Label)) {
        if (!label->text(QAccessible::Name).isEmpty()) {
            return label->text(QAccessible::Name);
        }
    }
    return {};
}

// Every control that takes the focus is announced by a name of its own, not by its value.
// Qt names a drop-down list by its value on Linux and gives its label as a relation, which
// screen readers speak first.
void CheckNames(QWidget* dialog) {
    for (QWidget* control : dialog->findChildren<QWidget*>()) {
        if (control->focusPolicy() == Qt::NoFocus || !control->isVisibleTo(dialog) ||
            control->inherits("QAbstractScrollArea")) {
            continue;
        }
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        const QString name = accessible ? accessible->text(QAccessible::Name) : QString();
        const QString value = accessible ? accessible->text(QAccessible::Value) : QString();
        const bool named = !name.isEmpty() && (value.isEmpty() || name != value);
        if (!named && (accessible == nullptr || LabelOf(accessible).isEmpty())) {
            Fail(dialog->objectName() + ": " + control->objectName() + " is announced as \"" +
                 name + "\"");
        }
    }
}

// In a dialog too large for its screen, Tab brings every control it reaches into view.
void CheckTabShowsEveryControl(QWidget* dialog, const QString& name) {
    auto* area = dialog->findChild<QScrollArea*>("dialogScrollArea");
    // Qt's Wayland input method takes typed keys only from a real keyboard: X only.
    if (area == nullptr || QGuiApplication::platformName() != "xcb") {
        return;
    }
    QWidget* first = dialog->focusWidget() ? dialog->focusWidget() : dialog;
    QWidget* focused = first;
    do {
        QTest::keyClick(focused, Qt::Key_Tab);
        focused = dialog->focusWidget();
        if (focused == nullptr) {
            Fail(name + ": Tab left no control with the focus");
            return;
        }
        // A field counts as shown when its text cursor is, as Qt scrolls to it.
        const QRect place = area->viewport()->isAncestorOf(focused)
                                ? QRect(focused->mapTo(area->viewport(), QPoint()), focused->size())
                                : QRect();
        if (!area->viewport()->rect().intersects(place)) {
            const QRect shown(area->horizontalScrollBar()->value(),
                              area->verticalScrollBar()->value(), area->viewport()->width(),
                              area->viewport()->height());
            Fail(name + ": " + focused->objectName() + " at " + Describe(place) +
                 " is out of view (" + Describe(shown) + ")");
        }
    } while (focused != first);
}

void Check(QWidget* dialog, const QString& name) {
    if (!QTest::qWaitForWindowExposed(dialog)) {
        Fail(name + " did not show");
        return;
    }
    // The window system may still be placing and sizing it.
    QTest::qWait(100);
    CheckNames(dialog);
    CheckTabShowsEveryControl(dialog, name);
    const QRect free = dialog->screen()->availableGeometry();
    if (qEnvironmentVariableIntValue("VK3_SMOKE_WITHIN_SCREEN") != 0 &&
        !free.contains(dialog->frameGeometry())) {
        Fail(name + ": frame " + Describe(dialog->frameGeometry()) +
             " outside the screen's free area " + Describe(free));
    }
    if (const QString pictures = qEnvironmentVariable("VK3_SMOKE_PICTURES"); !pictures.isEmpty()) {
        dialog->grab().save(pictures + "/" + name + ".png");
    }
}

// Presses the button and, once its dialog runs, checks it and closes it with Escape.
void OpenAndClose(QWidget& main, const char* button, const QString& name) {
    QTimer::singleShot(0, &main, [&main, name] {
        QWidget* child = QApplication::activeModalWidget();
        if (child == nullptr || child == &main || child->inherits("QMessageBox")) {
            Fail(name + " did not open" + (child ? " (" + child->objectName() + ")" : ""));
            if (child != nullptr && child != &main) {
                static_cast<QDialog*>(child)->reject();
            }
            return;
        }
        Check(child, name);
        QTest::keyClick(child->focusWidget() ? child->focusWidget() : child, Qt::Key_Escape);
        if (child->isVisible()) {
            Fail(name + " stayed open after Escape");
            static_cast<QDialog*>(child)->reject();
        }
    });
    main.findChild<QPushButton*>(button)->click();
}

bool ran = false;

void Drive() {
    auto* main = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (main == nullptr || main->objectName() != "mainDialog") {
        Fail("the main dialog is not what runs first");
        if (main != nullptr) {
            main->reject();
        }
        return;
    }
    ran = true;
    Check(main, "main-dialog");
    OpenAndClose(*main, "cacheSettingsButton", "cache-settings");
    OpenAndClose(*main, "otherSettingsButton", "other-settings");
    OpenAndClose(*main, "historyButton", "history");
    OpenAndClose(*main, "creditsButton", "credits");
    QTest::keyClick(main, Qt::Key_Escape);
    if (main->isVisible()) {
        Fail("the main dialog stayed open after Escape");
        main->reject();
    }
}

// When the program's QApplication is made: drive the dialogs once its loop runs, and report
// when the program ends.
void StartDriving() {
    QTimer::singleShot(0, qApp, Drive);
    std::atexit([] {
        if (!ran) {
            Fail("the main dialog never ran");
        }
        std::printf("dialog_smoke: %s\n",
                    failures != 0 ? "FAILED" : "every dialog opened and closed");
        std::fflush(stdout);
        if (failures != 0) {
            std::_Exit(1);
        }
    });
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(StartDriving)
