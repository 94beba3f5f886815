// The file-information dialog's texts without a window: the two labels and
// the three listings (full path, invalid lines, keyword list).
//
// Listings are lists of lines in Shift_JIS, as they stand in the memo.
#ifndef MORVIK_DATA_FILE_INFO_H_
#define MORVIK_DATA_FILE_INFO_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "data/sv_data.h"

namespace morvik {

// Items of the drop-down list, by index.
enum FileInfoItem : int { kShowFullPath = 0, kShowInvalidLines = 1, kShowKeywords = 2 };

// The data type's name, one blank, and the file-name part of file_name
// (without its directory): "Data01 list.txt".
std::string FileNameLabel(DataType type, std::string_view file_name);

struct LineCounts {
  std::size_t total = 0;
  std::size_t valid = 0;
};

// Lines with at least field_count fields are valid, up to the first end
// marker, which counts as valid; every line after it is invalid.
LineCounts CountLines(const std::vector<std::string_view>& lines, int field_count);

// "全 120行; 有効 101行, 無効 19行".
std::string LineCountsLabel(const LineCounts& counts);

// "Line" + 1-based number + one blank + the line, for every line with
// fewer than field_count fields above the end marker and every line below
// it; the end marker itself is not listed.
std::vector<std::string> InvalidLineListing(const std::vector<std::string_view>& lines,
                                            int field_count);

// The first fields of the lines above the first end marker, each once
// without regard to letter case (the first one met stands), ordered by
// the collation of collation_locale (an ICU locale name; empty for the root
// collation) with letter case ignored. O(n log n) in the keywords.
std::vector<std::string> KeywordList(const std::vector<std::string_view>& lines,
                                     const std::string& collation_locale);

// The ICU locale of the user's collation from LC_ALL, LC_COLLATE and LANG
// (the first one set): "ja_JP.UTF-8" gives "ja_JP"; the C and POSIX
// locales, or none at all, give "" (the root collation).
std::string UserCollationLocale();

// The path (in the locale's code set, as file names are) as a memo line in
// Shift_JIS.
std::string PathToSjis(std::string_view path);

}  // namespace morvik

#endif  // MORVIK_DATA_FILE_INFO_H_
