// The eight data types of Savra data files and what each fixes: the number of
// fields of a record line, the text of a new document, and the names the
// windows show for it.
//
// Document texts here are Shift_JIS bytes; names, labels and suffixes are
// ASCII or UTF-8 texts for the windows.
#ifndef MORVIK_DATA_SV_DATA_H_
#define MORVIK_DATA_SV_DATA_H_

#include <cstdint>
#include <string>

namespace morvik {

// An unsigned 8-bit value; 0 to 7 are the types below. Other values can occur
// (a caller may hand one in) and have defined results everywhere.
using DataType = std::uint8_t;
enum : DataType { Data01, Data02, DataA1, DataA2, DataB1, DataB2, DataC1, DataC2 };
constexpr int kDataTypeCount = 8;

// Fields per record line: 2, 2, 3, 3, 2, 2, 0, 0; 0 for any other value.
int FieldCount(DataType type);

// The text of a new document: the empty record, CR LF and the end-marker line
// (no break after it); for the C types CR LF and a bare {EndOfData}; empty for
// any other value.
std::string NewFileText(DataType type);

// The record line whose fields are all empty ("","" or "","","" or empty).
std::string EmptyRecord(DataType type);

// The end-marker line as the program writes it.
std::string EndMarkerLine(DataType type);

// "Data01" .. "DataC2", or "UnknownType".
std::string DataTypeName(DataType type);

// The label of the type dialog ("データ01", UTF-8), empty for other values.
std::string DataTypeLabel(DataType type);

// The status-bar suffix ("01", "A1", ...), empty for other values.
std::string DataTypeSuffix(DataType type);

}  // namespace morvik

#endif  // MORVIK_DATA_SV_DATA_H_
