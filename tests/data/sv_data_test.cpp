#include "data/sv_data.h"

#include <gtest/gtest.h>

namespace morvik {
namespace {

TEST(SvData, TypesFixFieldsTemplatesAndNames) {
  struct Case {
    int type;
    int fields;
    std::string new_file_text;
    std::string name, suffix;
  } cases[] = {
      {Data01, 2, "\"\",\"\"\r\n\"{EndOfData}\",\"{Dummy}\"", "Data01", "01"},
      {Data02, 2, "\"\",\"\"\r\n\"{EndOfData}\",\"{Dummy}\"", "Data02", "02"},
      {DataA1, 3, "\"\",\"\",\"\"\r\n\"{EndOfData}\",\"{Dummy}\",\"{Dummy}\"", "DataA1", "A1"},
      {DataA2, 3, "\"\",\"\",\"\"\r\n\"{EndOfData}\",\"{Dummy}\",\"{Dummy}\"", "DataA2", "A2"},
      {DataB1, 2, "\"\",\"\"\r\n\"{EndOfData}\",\"{Dummy}\"", "DataB1", "B1"},
      {DataB2, 2, "\"\",\"\"\r\n\"{EndOfData}\",\"{Dummy}\"", "DataB2", "B2"},
      {DataC1, 0, "\r\n{EndOfData}", "DataC1", "C1"},
      {DataC2, 0, "\r\n{EndOfData}", "DataC2", "C2"},
      {8, 0, "", "UnknownType", ""},
      {255, 0, "", "UnknownType", ""},
  };
  for (const Case& c : cases) {
    const auto type = static_cast<DataType>(c.type);
    EXPECT_EQ(FieldCount(type), c.fields) << c.type;
    EXPECT_EQ(NewFileText(type), c.new_file_text) << c.type;
    EXPECT_EQ(DataTypeName(type), c.name);
    EXPECT_EQ(DataTypeSuffix(type), c.suffix);
  }
  EXPECT_EQ(NewFileText(DataC2).size(), 13u);
  EXPECT_EQ(DataTypeLabel(DataA1), "データA1");
  EXPECT_EQ(EmptyRecord(DataC1), "");
}

}  // namespace
}  // namespace morvik
