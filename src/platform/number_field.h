#pragma once

#include <QLineEdit>

namespace vk3 {

// What a number field lets the user type: digits only, or a whole number with optional blanks
// and sign, or a decimal number. Whether the text is complete is for the dialog to judge.
enum class NumberInput { Digits, SignedInteger, UnsignedInteger, Decimal };

// An edit field that takes only what its kind of number can use, framed in a blend of the scheme's
// two colours so that it stays visible on the dialog's background.
class NumberField : public QLineEdit {
    Q_OBJECT

public:
    explicit NumberField(QWidget* parent = nullptr, NumberInput input = NumberInput::Digits);

    // Lets a value shown with a leading minus be edited: digits can be typed after the minus,
    // but no minus can be typed.
    void KeepShownMinus();

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace vk3
