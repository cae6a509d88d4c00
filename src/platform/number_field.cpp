#include "platform/number_field.h"

#include <QPainter>
#include <QRegularExpressionValidator>

namespace vk3 {

NumberField::NumberField(QWidget* parent) : QLineEdit(parent) {
    setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), this));
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
