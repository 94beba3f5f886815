#include "data/sv_data.h"

#include <array>

namespace morvik {
namespace {

struct TypeInfo {
  const char* name;
  const char* label;
  const char* suffix;
  int field_count;
};

constexpr std::array<TypeInfo, kDataTypeCount> kTypes = {{
    {"Data01", "データ01", "01", 2},
    {"Data02", "データ02", "02", 2},
    {"DataA1", "データA1", "A1", 3},
    {"DataA2", "データA2", "A2", 3},
    {"DataB1", "データB1", "B1", 2},
    {"DataB2", "データB2", "B2", 2},
    {"DataC1", "データC1", "C1", 0},
    {"DataC2", "データC2", "C2", 0},
}};

bool IsKnown(DataType type) {
  return type < kDataTypeCount;
}

bool IsCType(DataType type) {
  return type == DataC1 || type == DataC2;
}

// The type's record with every field set to value, quoted.
std::string QuotedRecord(int field_count, const std::string& first, const std::string& rest) {
  std::string line;
  for (int i = 0; i < field_count; ++i) {
    if (i > 0) line += ',';
    line += '"';
    line += i == 0 ? first : rest;
    line += '"';
  }
  return line;
}

}  // namespace

int FieldCount(DataType type) {
  return IsKnown(type) ? kTypes[type].field_count : 0;
}

std::string EmptyRecord(DataType type) {
  return QuotedRecord(FieldCount(type), "", "");
}

std::string EndMarkerLine(DataType type) {
  if (IsCType(type)) return "{EndOfData}";
  if (!IsKnown(type)) return "";
  return QuotedRecord(FieldCount(type), "{EndOfData}", "{Dummy}");
}

std::string NewFileText(DataType type) {
  if (!IsKnown(type)) return "";
  return EmptyRecord(type) + "\r\n" + EndMarkerLine(type);
}

std::string DataTypeName(DataType type) {
  return IsKnown(type) ? kTypes[type].name : "UnknownType";
}

std::string DataTypeLabel(DataType type) {
  return IsKnown(type) ? kTypes[type].label : "";
}

std::string DataTypeSuffix(DataType type) {
  return IsKnown(type) ? kTypes[type].suffix : "";
}

}  // namespace morvik
