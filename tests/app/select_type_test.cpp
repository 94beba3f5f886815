// The data-type dialog's logic.
#include "app/dialogs/select_type.h"

#include <gtest/gtest.h>

namespace morvik {
namespace {

TEST(SelectType, SelectsOnlyKnownTypesAndFallsBackToData01) {
  struct Case {
    int preset;  // item index before
    DataType set;
    DataType expected;
  };
  const Case cases[] = {
      {0, DataA2, DataA2}, {0, DataC2, DataC2}, {3, 8, DataA2},
      {5, 255, DataB2},    {-1, 200, Data01},  // no item selected
  };
  for (const Case& c : cases) {
    TFormSelectType form;
    form.RadioTypeItemIndex = c.preset;
    form.SetSelectedType(c.set);
    EXPECT_EQ(form.GetSelectedType(), c.expected) << int(c.set);
  }
}

TEST(SelectType, OnlyOkAnswers) {
  TFormSelectType ok;
  EXPECT_EQ(ok.GetSelectedType(), Data01);  // the first item at creation
  ok.ButtonOKClick();
  ok.FormClose();
  EXPECT_TRUE(ok.CloseRequested);
  EXPECT_FALSE(ok.Cancelled);
  TFormSelectType cancel;
  cancel.ButtonCancelClick();
  cancel.FormClose();
  EXPECT_TRUE(cancel.Cancelled);
  TFormSelectType frame;  // closed by its frame: no button chose
  frame.FormClose();
  EXPECT_TRUE(frame.Cancelled);
}

TEST(SelectType, ItemsAreTheLabelsInTypeOrder) {
  const std::vector<std::string> items = TFormSelectType::RadioTypeItems();
  ASSERT_EQ(items.size(), 8u);
  EXPECT_EQ(items.front(), "データ01");
  EXPECT_EQ(items[3], "データA2");
  EXPECT_EQ(items.back(), "データC2");
}

}  // namespace
}  // namespace morvik
