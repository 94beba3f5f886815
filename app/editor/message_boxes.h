// The standard message boxes: what each kind of box is called and shows,
// and the buttons it can offer, in one table each. The logic names a kind
// and a row of buttons; a view takes the caption, icon and button texts from
// here, so they are written once.
#ifndef MORVIK_APP_EDITOR_MESSAGE_BOXES_H_
#define MORVIK_APP_EDITOR_MESSAGE_BOXES_H_

#include <iterator>
#include <span>

namespace morvik {

// The buttons of every box. As an answer, Cancel also stands for a box
// closed without a choice (Escape or the close box) when the box offers no
// Cancel or No that Escape could mean.
enum class MessageButton { Yes, No, Ok, Cancel };

enum class MessageIcon { None, Information, Warning, Question };

// What a box is for; each kind has its caption and icon.
enum class MessageKind { Warning, Information, Confirmation, About };

struct MessageKindSpec {
  MessageKind Kind;
  const char* Caption;
  MessageIcon Icon;
};

// In MessageKind order.
inline constexpr MessageKindSpec kMessageKinds[] = {
    {MessageKind::Warning, "警告", MessageIcon::Warning},
    {MessageKind::Information, "情報", MessageIcon::Information},
    {MessageKind::Confirmation, "確認", MessageIcon::Question},
    // The About box is captioned with the application's title.
    {MessageKind::About, "Morvik", MessageIcon::None},
};

struct MessageButtonSpec {
  MessageButton Button;
  const char* Caption;
};

// In MessageButton order.
inline constexpr MessageButtonSpec kMessageButtons[] = {
    {MessageButton::Yes, "はい(&Y)"},
    {MessageButton::No, "いいえ(&N)"},
    {MessageButton::Ok, "OK"},
    {MessageButton::Cancel, "キャンセル"},
};

constexpr const MessageKindSpec& SpecOf(MessageKind kind) {
  return kMessageKinds[static_cast<int>(kind)];
}
constexpr const char* CaptionOf(MessageButton button) {
  return kMessageButtons[static_cast<int>(button)].Caption;
}

// The rows of buttons the boxes offer; the first is the default button.
inline constexpr MessageButton kOkButton[] = {MessageButton::Ok};
inline constexpr MessageButton kYesButton[] = {MessageButton::Yes};
inline constexpr MessageButton kYesNoButtons[] = {MessageButton::Yes, MessageButton::No};
inline constexpr MessageButton kYesNoCancelButtons[] = {MessageButton::Yes, MessageButton::No,
                                                        MessageButton::Cancel};

using MessageButtons = std::span<const MessageButton>;

// The answer of a box closed without a choice: its Cancel, else its No,
// else its OK when that is its only button, else Cancel (a lone Yes
// decides nothing).
constexpr MessageButton EscapeAnswer(MessageButtons buttons) {
  bool has_no = false;
  for (MessageButton button : buttons) {
    if (button == MessageButton::Cancel) return MessageButton::Cancel;
    if (button == MessageButton::No) has_no = true;
  }
  if (has_no) return MessageButton::No;
  if (buttons.size() == 1 && buttons[0] == MessageButton::Ok) return MessageButton::Ok;
  return MessageButton::Cancel;
}

namespace message_boxes_checks {
constexpr bool TablesFollowTheirEnums() {
  for (int i = 0; i < static_cast<int>(std::size(kMessageKinds)); ++i) {
    if (static_cast<int>(kMessageKinds[i].Kind) != i) return false;
  }
  for (int i = 0; i < static_cast<int>(std::size(kMessageButtons)); ++i) {
    if (static_cast<int>(kMessageButtons[i].Button) != i) return false;
  }
  return std::size(kMessageKinds) == 4 && std::size(kMessageButtons) == 4;
}
static_assert(TablesFollowTheirEnums(), "a kind or button is missing or out of order");
}  // namespace message_boxes_checks

}  // namespace morvik

#endif  // MORVIK_APP_EDITOR_MESSAGE_BOXES_H_
