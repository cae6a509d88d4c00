#include "platform/number_field.h"

#include <QPainter>
#include <QRegularExpressionValidator>

namespace vk3 {

namespace {

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

}  // namespace

NumberField::NumberField(QWidget* parent, NumberInput input) : QLineEdit(parent) {
    setValidator(new QRegularExpressionValidator(QRegularExpression(PatternOf(input)), this));
    setMaxLength(255);
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
