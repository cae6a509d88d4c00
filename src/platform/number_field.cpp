#include "platform/number_field.h"

#include <QPainter>
#include <QRegularExpressionValidator>

#include <array>

namespace vk3 {

namespace {

class DigitsAfterShownMinus : public QValidator {
public:
    explicit DigitsAfterShownMinus(QLineEdit* field) : QValidator(field), field_(field) {}

    State validate(QString& input, int&) const override {
        static const QRegularExpression digits(QRegularExpression::anchoredPattern("[0-9]*"));
        static const QRegularExpression signedDigits(
            QRegularExpression::anchoredPattern("-[0-9]*"));
        if (digits.match(input).hasMatch()) {
            return Acceptable;
        }
        const bool minusShown = field_->text().startsWith('-');
        return minusShown && signedDigits.match(input).hasMatch() ? Acceptable : Invalid;
    }

private:
    QLineEdit* field_;
};

QString PatternOf(NumberInput input) {
    switch (input) {
        case NumberInput::Digits:
            break;
        case NumberInput::SignedInteger:
            return "[ \\t]*[+-]?[0-9]*[ \\t]*";
        case NumberInput::UnsignedInteger:
            return "[ \\t]*\\+?[0-9]*[ \\t]*";
        case NumberInput::Decimal:
            return "[ \\t]*[+-]?[0-9]*\\.?[0-9]*([eE][+-]?[0-9]*)?[ \\t]*";
    }
    return "[0-9]*";
}

// One validator per kind, shared by every field of that kind, so that each pattern is
// compiled once. It lives as long as the program.
QValidator* SharedValidator(NumberInput input) {
    static std::array<QValidator*, 4> validators{};
    QValidator*& validator = validators.at(static_cast<std::size_t>(input));
    if (validator == nullptr) {
        validator = new QRegularExpressionValidator(QRegularExpression(PatternOf(input)));
    }
    return validator;
}

}  // namespace

NumberField::NumberField(QWidget* parent, NumberInput input) : QLineEdit(parent) {
    setValidator(SharedValidator(input));
    setMaxLength(255);
}

void NumberField::KeepShownMinus() {
    setValidator(new DigitsAfterShownMinus(this));
}

void NumberField::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    const QColor text = palette().color(QPalette::Text);
    const QColor base = palette().color(QPalette::Base);
    QPainter painter(this);
    painter.setPen(QColor((text.red() + base.red()) / 2, (text.green() + base.green()) / 2,
                          (text.blue() + base.blue()) / 2));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace vk3
