#include "cache_dialog/cache_settings_dialog.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>

#include "platform/failure_message.h"
#include "platform/number_field.h"
#include "platform/prompter.h"

namespace vk3 {

namespace {

constexpr const char* kTotalCacheHint = "total + high quality texture cache";
constexpr const char* kIncreaseHint = "increase cache";
constexpr const char* kDecreaseHint = "decrease cache";
const QString kWidestValue = "-2147483648";

void SetTextIfChanged(QLabel* label, const std::string& text) {
    const QString shown = ToQString(text);
    if (label->text() != shown) {
        label->setText(shown);
    }
}

// Leaves the field alone when it already shows the text, so the cursor of the field being
// typed in stays where it is.
void SetTextIfChanged(QLineEdit* field, const QString& text) {
    if (field->text() != text) {
        const QSignalBlocker blocker(field);
        field->setText(text);
    }
}

QLabel* MakeMegabyteLabel(QWidget* parent, const QString& objectName) {
    auto* label = new QLabel("0000.00 MB", parent);
    label->setObjectName(objectName);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // A fixed size spares the whole dialog a new layout on every keystroke.
    label->setFixedSize(label->fontMetrics().horizontalAdvance("-0000.00 MB") + 4,
                        label->sizeHint().height());
    return label;
}

void FitField(QLineEdit* field, const QString& widest) {
    field->setAlignment(Qt::AlignRight);
    field->setFixedWidth(field->fontMetrics().horizontalAdvance(widest) + 14);
}

// A field the binder does not hold: a total or a percentage.
NumberField* MakeField(QWidget* parent, const QString& objectName, const QString& name,
                       const QString& widest, NumberField::ValueCheck holdsValue = {}) {
    auto* field = new NumberField(std::move(holdsValue), parent);
    field->setObjectName(objectName);
    field->setAccessibleName(name);
    FitField(field, widest);
    return field;
}

QFrame* MakeSeparator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

// "+" and "-": square, so the modify row stays as narrow as the values above it.
QPushButton* MakeScaleButton(QWidget* parent, const QString& objectName, const char* caption,
                             const char* hint, const QString& column) {
    QPushButton* button = MakeDialogButton(parent, objectName.toUtf8().constData(), caption);
    button->setFixedWidth(button->sizeHint().height() + 4);
    button->setAccessibleName(QString(hint) + ", " + column);
    button->setToolTip(hint);
    return button;
}

// A caption, a field and its label in the next row of a grid.
void AddRow(QGridLayout* grid, const QString& caption, QWidget* field, QLabel* label) {
    const int row = grid->rowCount();
    auto* captionLabel = new QLabel(caption, field->parentWidget());
    captionLabel->setBuddy(field);
    grid->addWidget(captionLabel, row, 0);
    grid->addWidget(field, row, 1);
    grid->addWidget(label, row, 2);
}

}  // namespace

CacheSettingsDialog::CacheSettingsDialog(InstallationPaths paths, Prompter& prompter,
                                         QWidget* owner)
    : QDialog(owner),
      paths_(std::move(paths)),
      prompter_(prompter),
      controls_(model_.Binder(), [this](std::size_t row) {
          model_.Refresh(model_.SlotOf(row));
          ShowModel();
      }) {
    SetUpSettingsDialog(this, "cacheSettingsDialog");
    setModal(true);

    BuildControls();
    ConnectControls();
    SetUpTabOrder();
    ApplyColourScheme(this, DialogKind::CacheSettings);

    const SettingsResult loaded = model_.Load(paths_);
    ShowModel();
    controls_.Control(model_.RowOf(0))->setFocus();
    controls_.ReportLoad(prompter_, loaded);
}

void CacheSettingsDialog::BuildControls() {
    QVBoxLayout* layout = StartDialogLayout(this);
    AddHeading(layout, "CACHE SETTINGS", "cacheSettingsHeading");
    auto* columns = new QGridLayout;
    for (std::size_t index = 0; index < kCacheColumnCount; ++index) {
        const auto column = static_cast<CacheColumn>(index);
        const bool common = column == CacheColumn::Common;
        columns->addWidget(BuildColumn(column), 0, static_cast<int>(index), common ? 1 : 2, 1);
    }
    // Under the common box, level with the total cache rows it counts into.
    columns->addLayout(BuildTextureRow(), 1, 0, Qt::AlignBottom);
    layout->addLayout(columns);

    auto* separator = new QFrame(this);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    buttons_ = AddSettingsButtons(
        layout, {"cacheRestoreButton", "cacheSaveButton", "cacheCloseButton"}, separator);
}

void CacheSettingsDialog::AddBudget(QGridLayout* grid, std::size_t slot, QWidget* parent) {
    const BoundControls::Made made = controls_.Make(model_.RowOf(slot), parent);
    FitField(static_cast<QLineEdit*>(made.control), kWidestValue);
    valueLabels_[slot] = MakeMegabyteLabel(parent, ToQString(CacheSlotName(slot)) + "Label");
    const int row = grid->rowCount();
    grid->addWidget(made.caption, row, 0);
    grid->addWidget(made.control, row, 1);
    grid->addWidget(valueLabels_[slot], row, 2);
}

QWidget* CacheSettingsDialog::BuildColumn(CacheColumn column) {
    const std::size_t index = Index(column);
    const QString name = ToQString(kCacheColumns[index].second);
    const QString caption = ToQString(kCacheColumns[index].first);
    auto* group = new QGroupBox(caption, this);
    group->setObjectName("cache" + name + "Group");
    auto* grid = new QGridLayout(group);
    grid->setVerticalSpacing(3);
    grid->setColumnStretch(0, 1);
    for (std::size_t category = 0; category < kCacheCategoryCount; ++category) {
        AddBudget(grid, index * kCacheCategoryCount + category, group);
    }
    totalFields_[index] =
        MakeField(group, "cacheTotal" + name + "Field", "total, " + caption, kWidestValue);
    totalFields_[index]->setReadOnly(true);
    totalLabels_[index] = MakeMegabyteLabel(group, "cacheTotal" + name + "Label");
    AddRow(grid, "total:", totalFields_[index], totalLabels_[index]);
    grid->addWidget(MakeSeparator(group), grid->rowCount(), 0, 1, 3);

    auto* modifyCaption = new QLabel("modify:", group);
    modifyFields_[index] = MakeField(group, "cacheModify" + name + "Edit", "modify, " + caption,
                                     "00000", &CacheSettingsModel::HoldsPercentage);
    modifyCaption->setBuddy(modifyFields_[index]);
    scaleUpButtons_[index] =
        MakeScaleButton(group, "cacheScaleUp" + name + "Button", "+", kIncreaseHint, caption);
    scaleDownButtons_[index] =
        MakeScaleButton(group, "cacheScaleDown" + name + "Button", "-", kDecreaseHint, caption);
    auto* modifyRow = new QHBoxLayout;
    modifyRow->addWidget(modifyFields_[index]);
    modifyRow->addWidget(new QLabel("%", group));
    modifyRow->addStretch(1);
    modifyRow->addWidget(scaleUpButtons_[index]);
    modifyRow->addWidget(scaleDownButtons_[index]);
    const int modifyRowIndex = grid->rowCount();
    grid->addWidget(modifyCaption, modifyRowIndex, 0);
    grid->addLayout(modifyRow, modifyRowIndex, 1, 1, 2);
    // The rows above stay as close as in the common box; the total cache row takes the
    // box's bottom.
    grid->setRowStretch(grid->rowCount(), 1);
    if (column != CacheColumn::Common) {
        grid->addWidget(MakeSeparator(group), grid->rowCount(), 0, 1, 3);
        totalCacheFields_[index] = MakeField(group, "cacheTotalCache" + name + "Field",
                                             "total cache, " + caption, kWidestValue);
        totalCacheFields_[index]->setReadOnly(true);
        totalCacheFields_[index]->setToolTip(kTotalCacheHint);
        totalCacheLabels_[index] = MakeMegabyteLabel(group, "cacheTotalCache" + name + "Label");
        AddRow(grid, "total cache:", totalCacheFields_[index], totalCacheLabels_[index]);
    }
    return group;
}

QGridLayout* CacheSettingsDialog::BuildTextureRow() {
    auto* textures = new QGridLayout;
    const BoundControls::Made made = controls_.Make(model_.RowOf(kTextureQualityHighSlot), this);
    FitField(static_cast<QLineEdit*>(made.control), kWidestValue);
    valueLabels_[kTextureQualityHighSlot] =
        MakeMegabyteLabel(this, ToQString(CacheSlotName(kTextureQualityHighSlot)) + "Label");
    auto* arrow = new QLabel("------------------>", this);
    arrow->setObjectName("cacheArrowLabel");
    arrow->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    textures->addWidget(made.caption, 0, 0, 1, 2);
    textures->addWidget(made.control, 1, 0);
    textures->addWidget(valueLabels_[kTextureQualityHighSlot], 1, 1);
    textures->addWidget(arrow, 1, 2);
    textures->setColumnStretch(2, 1);
    // As far from the bottom as the total cache rows are inside their boxes.
    const int boxBottom = style()->pixelMetric(QStyle::PM_LayoutBottomMargin) +
                          style()->pixelMetric(QStyle::PM_DefaultFrameWidth) * 2;
    textures->setContentsMargins(0, 0, 0, boxBottom);
    return textures;
}

void CacheSettingsDialog::ConnectControls() {
    for (std::size_t index = 0; index < kCacheColumnCount; ++index) {
        const auto column = static_cast<CacheColumn>(index);
        connect(
            modifyFields_[index], &QLineEdit::textChanged, this,
            [this, column](const QString& text) { model_.ModifyText(column) = ToStdString(text); });
        connect(scaleUpButtons_[index], &QPushButton::clicked, this,
                [this, column] { Scale(column, ScaleDirection::Up); });
        connect(scaleDownButtons_[index], &QPushButton::clicked, this,
                [this, column] { Scale(column, ScaleDirection::Down); });
    }
    connect(buttons_.restore, &QPushButton::clicked, this,
            &CacheSettingsDialog::RestoreStandardValues);
    connect(buttons_.save, &QPushButton::clicked, this, &CacheSettingsDialog::Save);
    connect(buttons_.close, &QPushButton::clicked, this, &CacheSettingsDialog::accept);
}

void CacheSettingsDialog::SetUpTabOrder() {
    std::vector<QWidget*> order;
    for (std::size_t index = 0; index < kCacheColumnCount; ++index) {
        for (std::size_t category = 0; category < kCacheCategoryCount; ++category) {
            order.push_back(
                controls_.Control(model_.RowOf(index * kCacheCategoryCount + category)));
        }
        order.insert(order.end(), {totalFields_[index], modifyFields_[index],
                                   scaleUpButtons_[index], scaleDownButtons_[index]});
        order.push_back(index == 0 ? controls_.Control(model_.RowOf(kTextureQualityHighSlot))
                                   : totalCacheFields_[index]);
    }
    order.insert(order.end(), {buttons_.restore, buttons_.save, buttons_.close});
    for (std::size_t i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
}

void CacheSettingsDialog::ShowModel() {
    controls_.Show();
    for (std::size_t slot = 0; slot < kCacheSlotCount; ++slot) {
        SetTextIfChanged(valueLabels_[slot], model_.ValueLabel(slot));
    }
    for (std::size_t index = 0; index < kCacheColumnCount; ++index) {
        const auto column = static_cast<CacheColumn>(index);
        SetTextIfChanged(totalFields_[index], QString::number(model_.Total(column)));
        SetTextIfChanged(totalLabels_[index], model_.TotalLabel(column));
        modifyFields_[index]->ShowText(ToQString(model_.ModifyText(column)));
        if (totalCacheFields_[index] != nullptr) {
            SetTextIfChanged(totalCacheFields_[index], QString::number(model_.TotalCache(column)));
            SetTextIfChanged(totalCacheLabels_[index], model_.TotalCacheLabel(column));
        }
    }
}

void CacheSettingsDialog::Save() {
    if (controls_.ReportSave(prompter_, model_.Save(paths_), "the cache settings were not saved.",
                             kSaveAgainAdvice)) {
        QDialog::accept();
    }
}

void CacheSettingsDialog::accept() {
    if (controls_.MayDiscardChanges(prompter_)) {
        QDialog::accept();
    }
}

void CacheSettingsDialog::reject() {
    if (controls_.MayDiscardChanges(prompter_)) {
        QDialog::reject();
    }
}

void CacheSettingsDialog::Scale(CacheColumn column, ScaleDirection direction) {
    if (!model_.Scale(column, direction)) {
        prompter_.Notice(CacheSettingsModel::PercentageMessage(column));
        modifyFields_[Index(column)]->setFocus();
        modifyFields_[Index(column)]->selectAll();
        return;
    }
    ShowModel();
}

void CacheSettingsDialog::RestoreStandardValues() {
    if (prompter_.AskYesNo(kRestoreSettingsQuestion)) {
        model_.RestoreStandardValues();
        ShowModel();
    }
}

void RunCacheSettingsDialog(QWidget* owner, const InstallationPaths& paths) {
    QtPrompter prompter;
    CacheSettingsDialog dialog(paths, prompter, owner);
    prompter.SetOwner(&dialog);
    dialog.exec();
}

}  // namespace vk3
