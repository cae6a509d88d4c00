#pragma once

#include <QLineEdit>

#include <functional>
#include <string>

namespace vk3 {

// An edit field for a number, framed in a blend of the scheme's two colours so that it stays
// visible on the dialog's background. It keeps every character typed: a text that holds no
// value of its kind is shown in swapped colours and announced as not a valid number, and the
// dialog refuses it when it takes the field.
class NumberField : public QLineEdit {
    Q_OBJECT

public:
    // Whether a text holds a value the field's setting can store; the model's rule.
    using ValueCheck = std::function<bool(const std::string& text)>;

    explicit NumberField(ValueCheck holdsValue, QWidget* parent = nullptr);

    // Shows a text without running change handlers, marked as a typed one would be.
    void ShowText(const QString& text);
    bool MarkedInvalid() const { return invalid_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Mark();

    ValueCheck holdsValue_;
    bool invalid_ = false;
    QString plainDescription_;
    QPalette plainPalette_;
};

}  // namespace vk3
