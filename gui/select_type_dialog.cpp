#include "gui/select_type_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "data/sv_data.h"

namespace morvik {

SelectTypeDialog::SelectTypeDialog(QWidget* parent) : OutcomeDialog(parent) {
  setObjectName(QStringLiteral("FormSelectType"));
  setWindowTitle(QStringLiteral(u"ファイルの種類選択"));

  auto* group = new QGroupBox(QStringLiteral(u"データファイルの種類"), this);
  group->setObjectName(QStringLiteral("RadioType"));
  radio_type_ = new QButtonGroup(this);
  auto* grid = new QGridLayout(group);
  constexpr int kRows = kDataTypeCount / 2;
  for (int type = 0; type < kDataTypeCount; ++type) {
    auto* radio =
        new QRadioButton(QString::fromStdString(DataTypeLabel(static_cast<DataType>(type))), group);
    radio->setObjectName(QStringLiteral("RadioType%1").arg(type));
    radio_type_->addButton(radio, type);
    grid->addWidget(radio, type % kRows, type / kRows);  // column by column
  }
  radio_type_->button(0)->setChecked(true);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(NewOkButton());
  buttons->addWidget(NewCancelButton());

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addLayout(buttons);
  SetFixedClientSize(193, 153);
}

int SelectTypeDialog::SelectedIndex() const {
  return radio_type_->checkedId();
}

void SelectTypeDialog::SetSelectedIndex(int index) {
  if (QAbstractButton* radio = radio_type_->button(index)) radio->setChecked(true);
}

}  // namespace morvik
