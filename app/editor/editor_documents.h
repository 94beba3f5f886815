// What the main window keeps about its documents beyond one run or one
// command: the list of recently used files, the go-to-line dialog's fields
// and the zoom levels of the documents' font.
#ifndef MORVIK_APP_EDITOR_EDITOR_DOCUMENTS_H_
#define MORVIK_APP_EDITOR_EDITOR_DOCUMENTS_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/editor/dialog_state.h"
#include "data/sv_data.h"

namespace morvik {

// The type named name ("Data01" .. "DataC2", in any letter case).
std::optional<DataType> DataTypeNamed(std::string_view name);

// A file opened before, with the type it was opened as.
struct RecentFile {
  std::string Path;
  DataType Type = Data01;
  bool operator==(const RecentFile&) const = default;
};

// How many files the list keeps.
inline constexpr std::size_t kRecentFileCount = 10;

// files with file put first: an entry of the same path moves up (taking
// the new type), and the list keeps kRecentFileCount entries.
std::vector<RecentFile> WithRecentFile(const std::vector<RecentFile>& files,
                                       const RecentFile& file);

// The list as the settings keep it, one text per entry ("DataA1|/path"),
// and back; entries that do not read as one are dropped, as are those past
// kRecentFileCount.
std::vector<std::string> RecentFilesSetting(const std::vector<RecentFile>& files);
std::vector<RecentFile> RecentFilesFromSetting(const std::vector<std::string>& texts);

// The go-to-line dialog: the current line shown first and the document's
// number of lines (both 1-based) in, the chosen line and Cancelled out.
struct GoToLineForm {
  std::size_t Line = 1;
  std::size_t LineCount = 1;
  bool Cancelled = true;
};

// The documents' font at zoom level (0: the display font itself): the
// size scaled by a fixed ladder of percentages, at least one point.
// Levels beyond the ladder's ends are taken as its ends.
FontSpec ZoomedFont(const FontSpec& base, int level);
// The lowest and highest level.
int MinZoomLevel();
int MaxZoomLevel();

}  // namespace morvik

#endif  // MORVIK_APP_EDITOR_EDITOR_DOCUMENTS_H_
