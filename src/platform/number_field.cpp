#include "platform/number_field.h"

#include <QPainter>
#include <QSignalBlocker>

namespace vk3 {

namespace {

constexpr const char* kNotValid = "not a valid number";

QPalette WithTextAndBaseSwapped(QPalette palette) {
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const QBrush text = palette.brush(group, QPalette::Text);
        palette.setBrush(group, QPalette::Text, palette.brush(group, QPalette::Base));
        palette.setBrush(group, QPalette::Base, text);
    }
    return palette;
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
    // The scheme's palette and description come back as they were when it is valid again.
    if (invalid) {
        plainDescription_ = accessibleDescription();
        plainPalette_ = palette();
    }
    invalid_ = invalid;
    setPalette(invalid ? WithTextAndBaseSwapped(plainPalette_) : plainPalette_);
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
