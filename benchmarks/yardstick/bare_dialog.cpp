// The yardstick for the start-up benchmark: a bare Qt Widgets dialog of the main dialog's
// size and make-up (a 480 x 150 picture over 25 rows of lists and fields, Fusion style),
// without any of the program's own work.

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QStyleFactory>
#include <QVBoxLayout>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    QPixmap picture(480, 150);
    picture.fill(QColor(75, 0, 0));
    auto* banner = new QLabel(&dialog);
    banner->setPixmap(picture);
    layout->addWidget(banner);
    auto* rows = new QFormLayout;
    for (int row = 0; row < 25; ++row) {
        const QString label = QString("Setting %1").arg(row + 1);
        if (row % 2 == 0) {
            auto* list = new QComboBox(&dialog);
            list->addItems({"low", "medium", "high", "ultra"});
            rows->addRow(label, list);
        } else {
            rows->addRow(label, new QLineEdit(QString::number(row * 1000), &dialog));
        }
    }
    layout->addLayout(rows);
    dialog.show();
    return dialog.exec();
}
