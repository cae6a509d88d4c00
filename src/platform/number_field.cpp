#include "platform/number_field.h"

#include <QPainter>
#include <QValidator>

#include <array>

namespace vk3 {

namespace {

// Whether a field of this kind takes the text: blanks, sign, digits, point and exponent in
// their places, each optional, so that every beginning of a taken text is taken too. Read
// without regular expressions, whose engine would be loaded and compiled at start-up.
bool Takes(NumberInput input, QStringView text) {
    qsizetype at = 0;
    const auto oneOf = [&](QLatin1StringView chars) {
        const bool found = at < text.size() && chars.contains(text[at]);
        at += found ? 1 : 0;
        return found;
    };
    const auto anyOf = [&](QLatin1StringView chars) {
        while (oneOf(chars)) {
        }
    };
    const QLatin1StringView blanks(" \t");
    const QLatin1StringView digits("0123456789");
    if (input != NumberInput::Digits) {
        anyOf(blanks);
        oneOf(QLatin1StringView(input == NumberInput::UnsignedInteger ? "+" : "+-"));
    }
    anyOf(digits);
    if (input == NumberInput::Decimal) {
        oneOf(QLatin1StringView("."));
        anyOf(digits);
        if (oneOf(QLatin1StringView("eE"))) {
            oneOf(QLatin1StringView("+-"));
            anyOf(digits);
        }
    }
    if (input != NumberInput::Digits) {
        anyOf(blanks);
    }
    return at == text.size();
}

class NumberValidator : public QValidator {
public:
    explicit NumberValidator(NumberInput input, QObject* parent = nullptr)
        : QValidator(parent), input_(input) {}

    State validate(QString& input, int&) const override {
        return Takes(input_, input) ? Acceptable : Invalid;
    }

private:
    NumberInput input_;
};

class DigitsAfterShownMinus : public QValidator {
public:
    explicit DigitsAfterShownMinus(QLineEdit* field) : QValidator(field), field_(field) {}

    State validate(QString& input, int&) const override {
        if (Takes(NumberInput::Digits, input)) {
            return Acceptable;
        }
        const bool minusShown = field_->text().startsWith('-');
        return minusShown && input.startsWith('-') &&
                       Takes(NumberInput::Digits, QStringView(input).sliced(1))
                   ? Acceptable
                   : Invalid;
    }

private:
    QLineEdit* field_;
};

// One validator per kind, shared by every field of that kind. It lives as long as the
// program.
QValidator* SharedValidator(NumberInput input) {
    static std::array<QValidator*, 4> validators{};
    QValidator*& validator = validators.at(static_cast<std::size_t>(input));
    if (validator == nullptr) {
        validator = new NumberValidator(input);
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
