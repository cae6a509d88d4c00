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
#include "platform/qt_platform.h"
#include "settings/hint.h"

namespace vk3 {

namespace {

constexpr const char* kTotalCacheHint = "total + high quality texture cache";
constexpr const char* kIncreaseHint = "increase cache";
constexpr const char* kDecreaseHint = "decrease cache";

QString ColumnName(CacheColumn column) {
    return ToQString(kCacheColumns[static_cast<std::size_t>(column)].name);
}
QString ColumnCaption(CacheColumn column) {
    return ToQString(kCacheColumns[static_cast<std::size_t>(column)].caption);
}

QString SlotName(std::size_t slot) {
    return ToQString(CacheSlotName(slot));
}

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

NumberField* MakeField(QWidget* parent, const QString& objectName, const QString& name,
                       const QString& widest, NumberField::ValueCheck holdsValue = {}) {
    auto* field = new NumberField(std::move(holdsValue), parent);
    field->setObjectName(objectName);
    field->setAccessibleName(name);
    field->setAlignment(Qt::AlignRight);
    field->setFixedWidth(field->fontMetrics().horizontalAdvance(widest) + 14);
    return field;
}

QFrame* MakeSeparator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

// "+" and "-": square, so the modify row stays as narrow as the values above it.
QPushButton* MakeScaleButton(QWidget* parent, const QString& objectName, const QString& caption) {
    QPushButton* button =
        MakeDialogButton(parent, objectName.toUtf8().constData(), caption.toUtf8().constData());
    button->setFixedWidth(button->sizeHint().height() + 4);
    return button;
}

}  // namespace

CacheSettingsDialog::CacheSettingsDialog(std::filesystem::path engineConfig, Prompter& prompter,
                                         QWidget* owner)
    : QDialog(owner), engineConfig_(std::move(engineConfig)), prompter_(prompter) {
    SetUpSettingsDialog(this, "cacheSettingsDialog");
    setModal(true);

    BuildControls();
    ConnectControls();
    SetUpHints();
    SetUpTabOrder();
    ApplyColourScheme(this, DialogKind::CacheSettings);

    const FileStatus read = model_.Load(engineConfig_);
    ShowModel();
    valueFields_[CacheSlot(CacheColumn::Common, CacheCategory::Image)]->setFocus();
    if (!read) {
        prompter_.Error(FailureMessage(kSettingsNotRead, "could not read", read));
    }
}

void CacheSettingsDialog::BuildControls() {
    QVBoxLayout* layout = StartDialogLayout(this);
    AddHeading(layout, "CACHE SETTINGS", "cacheSettingsHeading");

    const QString widestValue = "-2147483648";
    auto* columns = new QGridLayout;
    for (const CacheColumnInfo& info : kCacheColumns) {
        const CacheColumn column = info.column;
        const std::size_t index = Index(column);
        const QString name = ColumnName(column);
        const QString caption = ColumnCaption(column);
        auto* group = new QGroupBox(caption, this);
        group->setObjectName("cache" + name + "Group");
        auto* grid = new QGridLayout(group);
        grid->setVerticalSpacing(3);
        grid->setColumnStretch(0, 1);

        auto addRow = [&](const QString& rowCaption, QWidget* field, QLabel* label) {
            const int row = grid->rowCount();
            auto* captionLabel = new QLabel(rowCaption, group);
            captionLabel->setBuddy(field);
            grid->addWidget(captionLabel, row, 0);
            grid->addWidget(field, row, 1);
            grid->addWidget(label, row, 2);
        };

        for (const CacheCategoryInfo& category : kCacheCategories) {
            const std::size_t slot = CacheSlot(column, category.category);
            valueFields_[slot] =
                MakeField(group, SlotName(slot) + "Edit", ToQString(CacheFieldName(slot)),
                          widestValue, &CacheSettingsModel::HoldsBudget);
            valueLabels_[slot] = MakeMegabyteLabel(group, SlotName(slot) + "Label");
            addRow(ToQString(category.caption), valueFields_[slot], valueLabels_[slot]);
        }

        totalFields_[index] =
            MakeField(group, "cacheTotal" + name + "Field", "total, " + caption, widestValue);
        totalFields_[index]->setReadOnly(true);
        totalLabels_[index] = MakeMegabyteLabel(group, "cacheTotal" + name + "Label");
        addRow("total:", totalFields_[index], totalLabels_[index]);
        grid->addWidget(MakeSeparator(group), grid->rowCount(), 0, 1, 3);

        auto* modifyCaption = new QLabel("modify:", group);
        modifyFields_[index] = MakeField(group, "cacheModify" + name + "Edit", "modify, " + caption,
                                         "00000", &CacheSettingsModel::HoldsPercentage);
        modifyCaption->setBuddy(modifyFields_[index]);
        scaleUpButtons_[index] = MakeScaleButton(group, "cacheScaleUp" + name + "Button", "+");
        scaleUpButtons_[index]->setAccessibleName(QString(kIncreaseHint) + ", " + caption);
        scaleDownButtons_[index] = MakeScaleButton(group, "cacheScaleDown" + name + "Button", "-");
        scaleDownButtons_[index]->setAccessibleName(QString(kDecreaseHint) + ", " + caption);
        auto* modifyRow = new QHBoxLayout;
        modifyRow->addWidget(modifyFields_[index]);
        modifyRow->addWidget(new QLabel("%", group));
        modifyRow->addStretch(1);
        modifyRow->addWidget(scaleUpButtons_[index]);
        modifyRow->addWidget(scaleDownButtons_[index]);
        const int modifyRowIndex = grid->rowCount();
        grid->addWidget(modifyCaption, modifyRowIndex, 0);
        grid->addLayout(modifyRow, modifyRowIndex, 1, 1, 2);

        if (column == CacheColumn::Common) {
            grid->setRowStretch(grid->rowCount(), 1);
            columns->addWidget(group, 0, 0);
            continue;
        }
        // The rows above stay as close as in the common box; the total cache row takes the
        // box's bottom.
        grid->setRowStretch(grid->rowCount(), 1);
        grid->addWidget(MakeSeparator(group), grid->rowCount(), 0, 1, 3);
        totalCacheFields_[index] = MakeField(group, "cacheTotalCache" + name + "Field",
                                             "total cache, " + caption, widestValue);
        totalCacheFields_[index]->setReadOnly(true);
        totalCacheLabels_[index] = MakeMegabyteLabel(group, "cacheTotalCache" + name + "Label");
        addRow("total cache:", totalCacheFields_[index], totalCacheLabels_[index]);
        columns->addWidget(group, 0, static_cast<int>(index), 2, 1);
    }

    // Under the common box, level with the total cache rows it counts into.
    auto* textures = new QGridLayout;
    auto* texturesCaption = new QLabel(ToQString(kTextureQualityHighCaption), this);
    valueFields_[kTextureQualityHighSlot] =
        MakeField(this, SlotName(kTextureQualityHighSlot) + "Edit",
                  ToQString(CacheFieldName(kTextureQualityHighSlot)), widestValue,
                  &CacheSettingsModel::HoldsBudget);
    texturesCaption->setBuddy(valueFields_[kTextureQualityHighSlot]);
    valueLabels_[kTextureQualityHighSlot] =
        MakeMegabyteLabel(this, SlotName(kTextureQualityHighSlot) + "Label");
    auto* arrow = new QLabel("------------------>", this);
    arrow->setObjectName("cacheArrowLabel");
    arrow->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    textures->addWidget(texturesCaption, 0, 0, 1, 2);
    textures->addWidget(valueFields_[kTextureQualityHighSlot], 1, 0);
    textures->addWidget(valueLabels_[kTextureQualityHighSlot], 1, 1);
    textures->addWidget(arrow, 1, 2);
    textures->setColumnStretch(2, 1);
    // As far from the bottom as the total cache rows are inside their boxes.
    const int boxBottom = style()->pixelMetric(QStyle::PM_LayoutBottomMargin) +
                          style()->pixelMetric(QStyle::PM_DefaultFrameWidth) * 2;
    textures->setContentsMargins(0, 0, 0, boxBottom);
    columns->addLayout(textures, 1, 0, Qt::AlignBottom);
    layout->addLayout(columns);

    auto* separator = new QFrame(this);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    const SettingsButtons buttons = AddSettingsButtons(
        layout, {"cacheRestoreButton", "cacheSaveButton", "cacheCloseButton"}, separator);
    restoreButton_ = buttons.restore;
    saveButton_ = buttons.save;
    closeButton_ = buttons.close;
}

void CacheSettingsDialog::ConnectControls() {
    for (std::size_t slot = 0; slot < kCacheSlotCount; ++slot) {
        connect(valueFields_[slot], &QLineEdit::textChanged, this,
                [this, slot](const QString& text) {
                    model_.SetValueText(slot, ToStdString(text));
                    ShowModel();
                });
    }
    for (const CacheColumnInfo& info : kCacheColumns) {
        const CacheColumn column = info.column;
        const std::size_t index = Index(column);
        connect(
            modifyFields_[index], &QLineEdit::textChanged, this,
            [this, column](const QString& text) { model_.ModifyText(column) = ToStdString(text); });
        connect(scaleUpButtons_[index], &QPushButton::clicked, this,
                [this, column] { Scale(column, ScaleDirection::Up); });
        connect(scaleDownButtons_[index], &QPushButton::clicked, this,
                [this, column] { Scale(column, ScaleDirection::Down); });
    }
    connect(restoreButton_, &QPushButton::clicked, this,
            &CacheSettingsDialog::RestoreStandardValues);
    connect(saveButton_, &QPushButton::clicked, this, &CacheSettingsDialog::Save);
    connect(closeButton_, &QPushButton::clicked, this, &CacheSettingsDialog::accept);
}

void CacheSettingsDialog::SetUpHints() {
    // On one line each: the texts are short.
    for (const CacheSetting& setting : kCacheSettings) {
        valueFields_[setting.slot]->setToolTip(
            ToQString(JoinHint(kStandardHintPrefix, setting.standard)));
    }
    for (const CacheColumnInfo& info : kCacheColumns) {
        const std::size_t index = Index(info.column);
        if (totalCacheFields_[index] != nullptr) {
            totalCacheFields_[index]->setToolTip(kTotalCacheHint);
        }
        scaleUpButtons_[index]->setToolTip(kIncreaseHint);
        scaleDownButtons_[index]->setToolTip(kDecreaseHint);
    }
}

void CacheSettingsDialog::SetUpTabOrder() {
    std::vector<QWidget*> order;
    for (const CacheColumnInfo& info : kCacheColumns) {
        const std::size_t index = Index(info.column);
        for (const CacheCategoryInfo& category : kCacheCategories) {
            order.push_back(valueFields_[CacheSlot(info.column, category.category)]);
        }
        order.insert(order.end(), {totalFields_[index], modifyFields_[index],
                                   scaleUpButtons_[index], scaleDownButtons_[index]});
        if (info.column == CacheColumn::Common) {
            order.push_back(valueFields_[kTextureQualityHighSlot]);
        } else {
            order.push_back(totalCacheFields_[index]);
        }
    }
    order.insert(order.end(), {restoreButton_, saveButton_, closeButton_});
    for (std::size_t i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
}

void CacheSettingsDialog::ShowModel() {
    for (std::size_t slot = 0; slot < kCacheSlotCount; ++slot) {
        valueFields_[slot]->ShowText(ToQString(model_.ValueText(slot)));
        SetTextIfChanged(valueLabels_[slot], model_.ValueLabel(slot));
    }
    for (const CacheColumnInfo& info : kCacheColumns) {
        const std::size_t index = Index(info.column);
        SetTextIfChanged(totalFields_[index], QString::number(model_.Total(info.column)));
        SetTextIfChanged(totalLabels_[index], model_.TotalLabel(info.column));
        modifyFields_[index]->ShowText(ToQString(model_.ModifyText(info.column)));
        if (totalCacheFields_[index] != nullptr) {
            SetTextIfChanged(totalCacheFields_[index],
                             QString::number(model_.TotalCache(info.column)));
            SetTextIfChanged(totalCacheLabels_[index], model_.TotalCacheLabel(info.column));
        }
    }
}

void CacheSettingsDialog::Save() {
    if (const std::optional<std::size_t> slot = model_.FirstFieldWithoutNumber()) {
        prompter_.Notice(CacheSettingsModel::FieldWithoutNumberMessage(*slot));
        valueFields_[*slot]->setFocus();
        return;
    }
    if (const FileStatus status = model_.Save(engineConfig_); !status) {
        prompter_.Error(FailureMessage("the cache settings were not saved.", "could not write",
                                       status, kSaveAgainAdvice));
        return;
    }
    QDialog::accept();
}

void CacheSettingsDialog::accept() {
    if (!model_.HasUnsavedChanges() || prompter_.AskYesNoDefaultNo(kDiscardChangesQuestion)) {
        QDialog::accept();
    }
}

void CacheSettingsDialog::reject() {
    if (!model_.HasUnsavedChanges() || prompter_.AskYesNoDefaultNo(kDiscardChangesQuestion)) {
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
    if (!prompter_.AskYesNo(kRestoreSettingsQuestion)) {
        return;
    }
    model_.RestoreStandardValues();
    ShowModel();
}

void RunCacheSettingsDialog(QWidget* owner, const InstallationPaths& paths) {
    QtPrompter prompter;
    CacheSettingsDialog dialog(paths.engineConfig, prompter, owner);
    prompter.SetOwner(&dialog);
    dialog.exec();
}

}  // namespace vk3
