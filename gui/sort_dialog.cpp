#include "gui/sort_dialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/dialogs/sort.h"

namespace morvik {
namespace {

// A captioned radio group, its items side by side, the first one checked.
QButtonGroup* AddRadioGroup(QWidget* dialog, QBoxLayout* layout, const QString& name,
                            const char* caption, const QStringList& items) {
  auto* box = new QGroupBox(QString::fromUtf8(caption), dialog);
  box->setObjectName(name);
  auto* group = new QButtonGroup(dialog);
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(8, 4, 8, 4);
  for (qsizetype i = 0; i < items.size(); ++i) {
    auto* radio = new QRadioButton(items[i], box);
    radio->setObjectName(name + QString::number(i));
    group->addButton(radio, static_cast<int>(i));
    row->addWidget(radio);
  }
  row->addStretch();
  group->button(0)->setChecked(true);
  layout->addWidget(box);
  return group;
}

}  // namespace

SortDialog::SortDialog(QWidget* parent, const QStringList& target_items,
                       const QStringList& order_items)
    : OutcomeDialog(parent) {
  setObjectName(QStringLiteral("FormSort"));
  setWindowTitle(QString::fromUtf8(TFormSort::kCaption));

  // Stacked, so that the longest item still fits the dialog's width.
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  radio_target_ = AddRadioGroup(this, layout, QStringLiteral("RadioTarget"),
                                TFormSort::kRadioTargetCaption, target_items);
  radio_order_ = AddRadioGroup(this, layout, QStringLiteral("RadioOrder"),
                               TFormSort::kRadioOrderCaption, order_items);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(NewOkButton(QString::fromUtf8(TFormSort::kButtonOKCaption)));
  buttons->addWidget(NewCancelButton(QString::fromUtf8(TFormSort::kButtonCancelCaption)));
  layout->addLayout(buttons);
  SetFixedClientSize(255, 168);
}

void SortDialog::SetIndexes(int target, int order) {
  if (QAbstractButton* radio = radio_target_->button(target)) radio->setChecked(true);
  if (QAbstractButton* radio = radio_order_->button(order)) radio->setChecked(true);
}

}  // namespace morvik
