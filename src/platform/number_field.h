#pragma once

#include <QLineEdit>

namespace vk3 {

// An edit field that takes digits only, framed in a blend of the scheme's two colours so
// that it stays visible on the dialog's background.
class NumberField : public QLineEdit {
    Q_OBJECT

public:
    explicit NumberField(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace vk3
