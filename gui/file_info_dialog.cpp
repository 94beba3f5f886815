#include "gui/file_info_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dialogs/file_info.h"
#include "gui/listing_view.h"

namespace morvik {

FileInfoDialog::FileInfoDialog(QWidget* parent, const QStringList& show_info_items)
    : OutcomeDialog(parent) {
  setObjectName(QStringLiteral("FormFileInfo"));
  setWindowTitle(QString::fromUtf8(TFormFileInfo::kCaption));

  label_file_name_ = new QLabel(this);
  label_file_name_->setObjectName(QStringLiteral("LabelFileName"));
  label_file_name_->setTextFormat(Qt::PlainText);
  label_lines_ = new QLabel(this);
  label_lines_->setObjectName(QStringLiteral("LabelLines"));
  label_lines_->setTextFormat(Qt::PlainText);

  auto* label1 = new QLabel(QString::fromUtf8(TFormFileInfo::kLabel1Caption), this);
  label1->setObjectName(QStringLiteral("Label1"));
  combo_show_info_ = new QComboBox(this);
  combo_show_info_->setObjectName(QStringLiteral("ComboShowInfo"));
  combo_show_info_->setEditable(false);
  combo_show_info_->addItems(show_info_items);
  combo_show_info_->setCurrentIndex(-1);
  label1->setBuddy(combo_show_info_);

  // A keyword listing may run to a million lines: the listing decodes and
  // draws only the rows on screen.
  memo_info_ = new ListingView(this);
  memo_info_->setObjectName(QStringLiteral("MemoInfo"));
  // A listing to read, not to edit: the button face's colour says so.
  QPalette palette = memo_info_->palette();
  palette.setColor(QPalette::Base, palette.color(QPalette::Button));
  memo_info_->setPalette(palette);

  auto* choice = new QHBoxLayout;
  choice->addWidget(label1);
  choice->addWidget(combo_show_info_, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(NewOkButton(QString::fromUtf8(TFormFileInfo::kButtonOKCaption)));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label_file_name_);
  layout->addWidget(label_lines_);
  layout->addLayout(choice);
  layout->addWidget(memo_info_, 1);
  layout->addLayout(buttons);
  SetFixedClientSize(396, 251);

  connect(combo_show_info_, &QComboBox::activated, this, &FileInfoDialog::ShowInfoChosen);
  connect(memo_info_, &QAbstractItemView::doubleClicked, this,
          [this](const QModelIndex& index) { emit InfoLineDoubleClicked(index.row()); });
}

void FileInfoDialog::SetFileNameLabel(const QString& text) {
  label_file_name_->setText(text);
}

void FileInfoDialog::SetLinesLabel(const QString& text) {
  label_lines_->setText(text);
}

void FileInfoDialog::SetInfoText(const QString& text) {
  memo_info_->SetTextLines(text.isEmpty() ? QStringList() : text.split(u'\n'));
}

void FileInfoDialog::SetInfoLines(const std::vector<std::string>* lines) {
  memo_info_->SetByteLines(lines);
}

QString FileInfoDialog::InfoText() const {
  return memo_info_->Text();
}

}  // namespace morvik
