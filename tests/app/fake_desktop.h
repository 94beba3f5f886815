// A scripted desktop for TFormEditor's tests: it answers dialogs and message
// boxes from queues the test fills beforehand, and records what the editor
// showed (message boxes, status panels, cursor, captions, opened paths), so
// that a test reads like a user session. A dialog asked with an empty queue
// fails the test and is answered as cancelled.
#ifndef MORVIK_TESTS_APP_FAKE_DESKTOP_H_
#define MORVIK_TESTS_APP_FAKE_DESKTOP_H_

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/dialogs/file_info.h"
#include "app/dialogs/script_edit.h"
#include "app/dialogs/select_type.h"
#include "app/dialogs/sort.h"
#include "app/document/rich_edit_ex.h"
#include "app/editor/desktop_port.h"

namespace morvik {

class FakeDesktop : public DesktopPort {
 public:
  // How the user leaves the data-type dialog.
  enum class TypeButton { Ok, Cancel, CloseBox };
  struct TypeAnswer {
    std::optional<DataType> choose;  // clicked before leaving; none: keep the preset
    TypeButton button = TypeButton::Ok;
  };
  struct Message {
    MessageKind kind;
    std::string caption;  // as the kind's table entry gives it
    std::string text;
    std::vector<MessageButton> buttons;
  };
  struct PageView {
    TRichEditEx* document;
    std::string tab_sheet_name;
    std::string caption;
    FontSpec font;
    bool modified_mark = false;
  };

  // --- Script -------------------------------------------------------------
  std::deque<std::optional<std::string>> open_answers;  // nullopt: Cancel
  std::deque<std::optional<std::string>> save_answers;
  std::deque<TypeAnswer> type_answers;
  // Answers to boxes of more than one button; a box of one is answered by it.
  std::deque<MessageButton> message_answers;
  std::deque<std::optional<FontSpec>> font_answers;
  bool shift_down = false;
  std::string program_directory = "/opt/morvik";

  // The sort dialog: the radio items chosen and how it is left.
  struct SortAnswer {
    int target = 0;  // 0 current priority block, 1 whole document
    int order = 0;   // 0 ascending, 1 descending
    enum class Close { Ok, Cancel, Frame } close = Close::Ok;
  };
  std::deque<SortAnswer> sort_answers;
  // The file-information dialog: the items picked in turn, then OK, or a
  // double-click on a line of the last listing when one is given.
  std::deque<std::vector<int>> file_info_choices;
  std::optional<int> file_info_double_click;
  // The script editor: what the user does in it (edit MemoScript, choose
  // menu items), then how it closes: by a Quit item (the session sets
  // CloseRequested) or by the frame (it does not).
  std::deque<std::function<void(TFormScript&)>> script_sessions;
  // The go-to-line dialog: the line typed, or nullopt for Cancel.
  std::deque<std::optional<std::size_t>> go_to_line_answers;
  // The settings file, as it stands between runs.
  std::map<std::string, std::vector<std::string>> settings;
  // Input that arrives while a long command lets pending events run.
  std::function<void()> on_pending_events;

  // --- Record ---------------------------------------------------------------
  std::vector<PageView> pages;
  int active_page = -1;
  std::vector<int> activations;  // every SetActivePage
  int focused_page = -1;
  std::vector<int> type_presets;         // item index when the type dialog opened
  std::vector<std::string> open_starts;  // the open dialog's FileName when shown
  std::vector<std::string> save_starts;
  std::vector<FontSpec> font_starts;
  std::vector<FindDialogKind> find_dialogs_shown;
  std::vector<Message> messages;
  std::string panels[2];
  int pending_event_runs = 0;
  bool busy = false;
  int busy_changes = 0;
  std::map<MenuItemId, std::string> menu_captions;
  std::vector<std::string> desktop_opens;    // "parented:<path>" or "<url>"
  std::vector<std::string> status_messages;  // every text written to panel 1
  struct FileInfoShown {
    std::string label_file_name, label_lines;
    std::vector<std::vector<std::string>> memos;  // MemoInfo after each choice
    bool closed_at_once = false;
  };
  std::vector<FileInfoShown> file_infos;
  std::vector<std::string> scripts_shown;  // MemoScript when the editor opened
  int close_requests = 0;
  std::set<std::string> watched_files;
  bool recovery_timer = false;            // started and not yet expired
  bool recovery_continues = false;        // a snapshot asked to go on
  std::vector<std::string> closed_pages;  // tab sheet names, in closing order
  std::vector<GoToLineForm> go_to_line_shown;
  std::vector<RecentFile> recent_menu;
  bool line_numbers = false;

  // The user clicks another tab (the view then reports the switch).
  void ClickTab(int index) { active_page = index; }

  // --- DesktopPort ------------------------------------------------------------
  void DocumentCreated(int index, TRichEditEx& document, const std::string& tab_sheet_name,
                       const std::string& caption, const FontSpec& font) override {
    EXPECT_EQ(index, static_cast<int>(pages.size()));
    pages.push_back({&document, tab_sheet_name, caption, font});
  }
  int ActivePageIndex() const override { return active_page; }
  void SetActivePage(int index) override {
    active_page = index;
    activations.push_back(index);
  }
  void DocumentClosing(int index) override {
    closed_pages.push_back(pages.at(index).tab_sheet_name);
    pages.erase(pages.begin() + index);
    // As a tab widget does: the tab to the right of a closed current one
    // becomes current, else the one to its left.
    if (active_page > index || active_page >= static_cast<int>(pages.size())) --active_page;
  }
  void SetPageModified(int index, bool modified) override {
    pages.at(index).modified_mark = modified;
  }
  void SetLineNumbersVisible(bool visible) override { line_numbers = visible; }
  void RunGoToLine(GoToLineForm& form) override {
    go_to_line_shown.push_back(form);
    if (go_to_line_answers.empty()) {
      ADD_FAILURE() << "unexpected go-to-line dialog";
      return;
    }
    const std::optional<std::size_t> answer = go_to_line_answers.front();
    go_to_line_answers.pop_front();
    form.Cancelled = !answer;
    if (answer) form.Line = *answer;
  }
  void SetRecentFiles(const std::vector<RecentFile>& files) override { recent_menu = files; }
  std::vector<std::string> ReadSetting(const std::string& key) override {
    const auto found = settings.find(key);
    return found == settings.end() ? std::vector<std::string>() : found->second;
  }
  void WriteSetting(const std::string& key, const std::vector<std::string>& values) override {
    settings[key] = values;
  }
  void SetPageCaption(int index, const std::string& caption) override {
    pages.at(index).caption = caption;
  }
  void SetDocumentFont(int index, const FontSpec& font) override { pages.at(index).font = font; }
  void FocusDocument(int index) override { focused_page = index; }
  bool IsShiftDown() const override { return shift_down; }
  std::string ProgramDirectory() const override { return program_directory; }
  void RequestClose() override { ++close_requests; }

  bool ChooseOpenFile(FileDialogState& dialog) override {
    open_starts.push_back(dialog.FileName);
    return Answer(open_answers, dialog, "open");
  }
  bool ChooseSaveFile(FileDialogState& dialog) override {
    save_starts.push_back(dialog.FileName);
    return Answer(save_answers, dialog, "save");
  }
  void RunSelectType(TFormSelectType& form) override {
    type_presets.push_back(form.RadioTypeItemIndex);
    if (type_answers.empty()) {
      ADD_FAILURE() << "unexpected data-type dialog";
      form.ButtonCancelClick();
      return;
    }
    const TypeAnswer answer = type_answers.front();
    type_answers.pop_front();
    if (answer.choose) form.RadioTypeItemIndex = *answer.choose;
    if (answer.button == TypeButton::Ok) form.ButtonOKClick();
    if (answer.button == TypeButton::Cancel) form.ButtonCancelClick();
  }
  void RunSort(TFormSort& form) override {
    if (sort_answers.empty()) {
      ADD_FAILURE() << "unexpected sort dialog";
      form.ButtonCancelClick();
      form.FormClose();
      return;
    }
    const SortAnswer answer = sort_answers.front();
    sort_answers.pop_front();
    form.RadioTargetItemIndex = answer.target;
    form.RadioOrderItemIndex = answer.order;
    if (answer.close == SortAnswer::Close::Ok) form.ButtonOKClick();
    if (answer.close == SortAnswer::Close::Cancel) form.ButtonCancelClick();
    form.FormClose();
  }
  void RunFileInfo(TFormFileInfo& form) override {
    FileInfoShown shown{form.LabelFileName, form.LabelLines, {}, form.CloseRequested};
    if (!form.CloseRequested) {
      if (file_info_choices.empty()) {
        ADD_FAILURE() << "unexpected file information";
      } else {
        for (int item : file_info_choices.front()) {
          form.ComboShowInfoItemIndex = item;
          form.ComboShowInfoChange();
          shown.memos.push_back(form.MemoInfo);
        }
        file_info_choices.pop_front();
      }
      if (file_info_double_click) form.MemoInfoDblClick(*file_info_double_click);
      if (!form.CloseRequested) form.ButtonOKClick();
    }
    file_infos.push_back(shown);
  }
  void RunScriptEditor(TFormScript& form) override {
    scripts_shown.push_back(form.MemoScript);
    if (script_sessions.empty()) {
      ADD_FAILURE() << "unexpected script editor";
      form.MenuQuitIgnoreClick();
      return;
    }
    script_sessions.front()(form);
    script_sessions.pop_front();
  }
  bool ChooseFont(FontSpec& font) override {
    font_starts.push_back(font);
    if (font_answers.empty()) {
      ADD_FAILURE() << "unexpected font dialog";
      return false;
    }
    const std::optional<FontSpec> answer = font_answers.front();
    font_answers.pop_front();
    if (!answer) return false;
    font = *answer;
    return true;
  }
  void ShowFindDialog(FindDialogKind kind) override { find_dialogs_shown.push_back(kind); }
  MessageButton ShowMessage(MessageKind kind, const std::string& text,
                            MessageButtons buttons) override {
    messages.push_back({kind, SpecOf(kind).Caption, text, {buttons.begin(), buttons.end()}});
    if (buttons.size() == 1) return buttons[0];
    if (message_answers.empty()) {
      ADD_FAILURE() << "unexpected question: " << text;
      return EscapeAnswer(buttons);
    }
    const MessageButton answer = message_answers.front();
    message_answers.pop_front();
    return answer;
  }
  void SetStatusPanel(int panel, const std::string& text) override {
    panels[panel] = text;
    if (panel == 1) status_messages.push_back(text);
  }
  void ProcessPendingEvents() override {
    ++pending_event_runs;
    if (on_pending_events) on_pending_events();
  }
  void SetBusyCursor(bool is_busy) override {
    busy = is_busy;
    ++busy_changes;
  }
  void SetMenuCaption(MenuItemId item, const std::string& caption) override {
    menu_captions[item] = caption;
  }
  void WatchFile(const std::string& path) override { watched_files.insert(path); }
  void UnwatchFile(const std::string& path) override { watched_files.erase(path); }
  void StartRecoveryTimer() override { recovery_timer = true; }
  void ContinueRecoverySoon() override { recovery_continues = true; }
  void OpenWithDesktop(const std::string& path_or_url, bool with_main_window) override {
    desktop_opens.push_back((with_main_window ? "parented:" : "") + path_or_url);
  }

 private:
  static bool Answer(std::deque<std::optional<std::string>>& answers, FileDialogState& dialog,
                     const char* which) {
    if (answers.empty()) {
      ADD_FAILURE() << "unexpected " << which << " dialog";
      return false;
    }
    const std::optional<std::string> answer = answers.front();
    answers.pop_front();
    if (!answer) return false;
    dialog.FileName = *answer;
    return true;
  }
};

}  // namespace morvik

#endif  // MORVIK_TESTS_APP_FAKE_DESKTOP_H_
