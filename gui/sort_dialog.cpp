#include "gui/sort_dialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace morvik {
namespace {

// A captioned radio group whose first item is checked.
QButtonGroup* AddRadioGroup(QWidget* dialog, QBoxLayout* layout, const QString& name,
                            const QString& caption, const QStringList& items) {
  auto* box = new QGroupBox(caption, dialog);
  box->setObjectName(name);
  auto* group = new QButtonGroup(dialog);
  auto* column = new QHBoxLayout(box);
  column->setContentsMargins(8, 4, 8, 4);
  for (int i = 0; i < items.size(); ++i) {
    auto* radio = new QRadioButton(items[i], box);
    radio->setObjectName(name + QString::number(i));
    group->addButton(radio, i);
    column->addWidget(radio);
  }
  column->addStretch();
  group->button(0)->setChecked(true);
  layout->addWidget(box);
  return group;
}

}  // namespace

SortDialog::SortDialog(QWidget* parent) : OutcomeDialog(parent) {
  setObjectName(QStringLiteral("FormSort"));
  setWindowTitle(QStringLiteral(u"並び替え/ソート"));

  auto* groups = new QVBoxLayout;
  radio_target_ =
      AddRadioGroup(this, groups, QStringLiteral("RadioTarget"), QStringLiteral(u"対象"),
                    {QStringLiteral(u"現在の優先度(&P)"), QStringLiteral(u"全体(&A)")});
  radio_order_ =
      AddRadioGroup(this, groups, QStringLiteral("RadioOrder"), QStringLiteral(u"順番"),
                    {QStringLiteral(u"昇順(&U) abc..."), QStringLiteral(u"降順(&D) zyx...")});

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(NewOkButton());
  buttons->addWidget(NewCancelButton());

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  groups->setSpacing(6);
  layout->addLayout(groups);
  layout->addLayout(buttons);
  SetFixedClientSize(255, 168);
}

void SortDialog::SetIndexes(int target, int order) {
  if (QAbstractButton* radio = radio_target_->button(target)) radio->setChecked(true);
  if (QAbstractButton* radio = radio_order_->button(order)) radio->setChecked(true);
}

}  // namespace morvik
