#pragma once

#include <QLineEdit>

namespace vk3 {

// An edit field that takes digits only, framed in a blend of the scheme's two colours so
// that it stays visible on the dialog's background.
class NumberField : public QLineEdit {
    Q_OBJECT

public:
    explicit NumberField(QWidget* parent = nullptr);

    // Lets a value shown with a leading minus be edited: digits can be typed after the minus,
    // but no minus can be typed.
    void KeepShownMinus();

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace vk3
