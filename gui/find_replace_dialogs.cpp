#include "gui/find_replace_dialogs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/fonts.h"

namespace morvik {
namespace {

// A tool window with a fixed size, like the desktop's find dialogs.
void SetUpModelessDialog(QDialog* dialog, const QString& caption) {
  dialog->setWindowTitle(caption);
  dialog->setFont(WindowFont());
  dialog->setModal(false);
  dialog->setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  dialog->layout()->setSizeConstraint(QLayout::SetFixedSize);
}

QLineEdit* AddLabelledEdit(QGridLayout* grid, int row, const QString& caption,
                           const QString& name) {
  auto* label = new QLabel(caption);
  auto* edit = new QLineEdit;
  edit->setObjectName(name);
  edit->setMinimumWidth(200);
  label->setBuddy(edit);
  grid->addWidget(label, row, 0);
  grid->addWidget(edit, row, 1);
  return edit;
}

// Off at first, so that the find text is searched for as it stands.
QCheckBox* NewRegularExpressionBox() {
  auto* box = new QCheckBox(QStringLiteral(u"正規表現(&X)"));
  box->setObjectName(QStringLiteral("CheckRegularExpression"));
  return box;
}

QPushButton* NewButton(const QString& caption, const QString& name) {
  auto* button = new QPushButton(caption);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

FindDialog::FindDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FindDialog"));
  auto* grid = new QGridLayout;
  find_text_ =
      AddLabelledEdit(grid, 0, QStringLiteral(u"検索する文字列(&N):"), QStringLiteral("FindText"));

  auto* direction = new QGroupBox(QStringLiteral(u"方向"));
  up_ = new QRadioButton(QStringLiteral(u"上へ(&U)"));
  up_->setObjectName(QStringLiteral("DirectionUp"));
  down_ = new QRadioButton(QStringLiteral(u"下へ(&D)"));
  down_->setObjectName(QStringLiteral("DirectionDown"));
  down_->setChecked(true);
  auto* direction_layout = new QHBoxLayout(direction);
  direction_layout->addWidget(up_);
  direction_layout->addWidget(down_);
  regular_expression_ = NewRegularExpressionBox();
  grid->addWidget(regular_expression_, 1, 0, Qt::AlignLeft | Qt::AlignBottom);
  grid->addWidget(direction, 1, 1, Qt::AlignRight);

  find_next_ = NewButton(QStringLiteral(u"次を検索(&F)"), QStringLiteral("ButtonFindNext"));
  find_next_->setDefault(true);
  auto* cancel = NewButton(QStringLiteral(u"キャンセル"), QStringLiteral("ButtonCancel"));
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(find_next_);
  buttons->addWidget(cancel);
  buttons->addStretch();

  auto* layout = new QHBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons);
  SetUpModelessDialog(this, QStringLiteral(u"検索"));

  // As on the desktop, there is nothing to find until a text is typed.
  find_next_->setEnabled(false);
  connect(find_text_, &QLineEdit::textChanged, this,
          [this](const QString& text) { find_next_->setEnabled(!text.isEmpty()); });
  connect(find_next_, &QPushButton::clicked, this, &FindDialog::FindNextClicked);
  connect(cancel, &QPushButton::clicked, this, &QDialog::hide);
}

QString FindDialog::FindText() const {
  return find_text_->text();
}

bool FindDialog::SearchDown() const {
  return down_->isChecked();
}

bool FindDialog::RegularExpression() const {
  return regular_expression_->isChecked();
}

void FindDialog::ShowOrRaise() {
  show();
  raise();
  activateWindow();
  find_text_->setFocus();
  find_text_->selectAll();
}

ReplaceDialog::ReplaceDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("ReplaceDialog"));
  auto* grid = new QGridLayout;
  find_text_ =
      AddLabelledEdit(grid, 0, QStringLiteral(u"検索する文字列(&N):"), QStringLiteral("FindText"));
  replace_text_ = AddLabelledEdit(grid, 1, QStringLiteral(u"置換後の文字列(&P):"),
                                  QStringLiteral("ReplaceText"));
  regular_expression_ = NewRegularExpressionBox();
  grid->addWidget(regular_expression_, 2, 0, 1, 2);
  grid->setRowStretch(3, 1);

  find_next_ = NewButton(QStringLiteral(u"次を検索(&F)"), QStringLiteral("ButtonFindNext"));
  find_next_->setDefault(true);
  replace_ = NewButton(QStringLiteral(u"置換して次に(&R)"), QStringLiteral("ButtonReplace"));
  replace_all_ = NewButton(QStringLiteral(u"すべて置換(&A)"), QStringLiteral("ButtonReplaceAll"));
  auto* cancel = NewButton(QStringLiteral(u"キャンセル"), QStringLiteral("ButtonCancel"));
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(find_next_);
  buttons->addWidget(replace_);
  buttons->addWidget(replace_all_);
  buttons->addWidget(cancel);
  buttons->addStretch();

  auto* layout = new QHBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons);
  SetUpModelessDialog(this, QStringLiteral(u"置換"));

  auto enable = [this](const QString& text) {
    find_next_->setEnabled(!text.isEmpty());
    replace_->setEnabled(!text.isEmpty());
    replace_all_->setEnabled(!text.isEmpty());
  };
  enable(QString());
  connect(find_text_, &QLineEdit::textChanged, this, enable);
  connect(find_next_, &QPushButton::clicked, this, &ReplaceDialog::FindNextClicked);
  connect(replace_, &QPushButton::clicked, this, &ReplaceDialog::ReplaceClicked);
  connect(replace_all_, &QPushButton::clicked, this, &ReplaceDialog::ReplaceAllClicked);
  connect(cancel, &QPushButton::clicked, this, &QDialog::hide);
}

QString ReplaceDialog::FindText() const {
  return find_text_->text();
}

QString ReplaceDialog::ReplaceText() const {
  return replace_text_->text();
}

bool ReplaceDialog::RegularExpression() const {
  return regular_expression_->isChecked();
}

void ReplaceDialog::ShowOrRaise() {
  show();
  raise();
  activateWindow();
  find_text_->setFocus();
  find_text_->selectAll();
}

}  // namespace morvik
