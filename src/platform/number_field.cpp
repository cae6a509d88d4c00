#include "platform/number_field.h"

#include <QPainter>
#include <QSignalBlocker>

namespace vk3 {

namespace {

constexpr const char* kNotValid = "not a valid number";

// Swapping text and background twice gives the scheme back.
void SwapTextAndBase(QWidget* field) {
    QPalette palette = field->palette();
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const QBrush text = palette.brush(group, QPalette::Text);
        palette.setBrush(group, QPalette::Text, palette.brush(group, QPalette::Base));
        palette.setBrush(group, QPalette::Base, text);
    }
    field->setPalette(palette);
}

}  // namespace

NumberField::NumberField(ValueCheck holdsValue, QWidget* parent)
    : QLineEdit(parent), holdsValue_(std::move(holdsValue)) {
    setMaxLength(255);
    connect(this, &QLineEdit::textChanged, this, &NumberField::Mark);
}

void NumberField::ShowText(const QString& text) {
    if (this->text() != text) {
        const QSignalBlocker blocker(this);
        setText(text);
    }
    Mark();
}

void NumberField::Mark() {
    const bool invalid = holdsValue_ && !holdsValue_(text().toUtf8().toStdString());
    if (invalid == invalid_) {
        return;
    }
    if (invalid) {
        plainDescription_ = accessibleDescription();
    }
    invalid_ = invalid;
    SwapTextAndBase(this);
    setAccessibleDescription(!invalid                      ? plainDescription_
                             : plainDescription_.isEmpty() ? QString(kNotValid)
                                                           : plainDescription_ + ", " + kNotValid);
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
