#include "gui/select_type_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/dialogs/select_type.h"

namespace morvik {

SelectTypeDialog::SelectTypeDialog(QWidget* parent, const QStringList& items)
    : OutcomeDialog(parent) {
  using T = TFormSelectType;
  setObjectName(QStringLiteral("FormSelectType"));
  setWindowTitle(QString::fromUtf8(T::kCaption));

  auto* group = new QGroupBox(QString::fromUtf8(T::kRadioTypeCaption), this);
  group->setObjectName(QStringLiteral("RadioType"));
  radio_type_ = new QButtonGroup(this);
  auto* grid = new QGridLayout(group);
  const int count = static_cast<int>(items.size());
  const int rows = (count + T::kRadioTypeColumns - 1) / T::kRadioTypeColumns;
  for (int type = 0; type < count; ++type) {
    auto* radio = new QRadioButton(items[type], group);
    radio->setObjectName(QStringLiteral("RadioType%1").arg(type));
    radio_type_->addButton(radio, type);
    grid->addWidget(radio, type % rows, type / rows);  // column by column
  }
  radio_type_->button(0)->setChecked(true);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(NewOkButton(QString::fromUtf8(T::kButtonOKCaption)));
  buttons->addWidget(NewCancelButton(QString::fromUtf8(T::kButtonCancelCaption)));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addLayout(buttons);
  SetFixedClientSize(T::kClientWidth, T::kClientHeight);
}

int SelectTypeDialog::SelectedIndex() const {
  return radio_type_->checkedId();
}

void SelectTypeDialog::SetSelectedIndex(int index) {
  QAbstractButton* radio = radio_type_->button(index);
  if (radio == nullptr) return;
  radio->setChecked(true);
  // The arrow keys move the choice from the focused button: it must be
  // the chosen one, not the first.
  radio->setFocus();
}

}  // namespace morvik
