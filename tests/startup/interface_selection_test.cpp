#include <gtest/gtest.h>

#include "startup/globals.h"

namespace trafimo {
namespace {

struct SelectionCase {
  const char* list;
  const char* description;
  bool selected;
};

class InterfaceSelection : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(InterfaceSelection, SelectsWholeEntriesOnly) {
  const auto& c = GetParam();
  EXPECT_EQ(IsInterfaceSelected(c.list, c.description), c.selected)
      << "list '" << c.list << "', description '" << c.description << "'";
}

INSTANTIATE_TEST_SUITE_P(Lists, InterfaceSelection,
                         ::testing::Values(SelectionCase{",Ethernet", "Ethernet", true},
                                           SelectionCase{",A,Ethernet,B", "Ethernet", true},
                                           SelectionCase{",Ethernet Adapter", "Ethernet", false},
                                           SelectionCase{",Adapter #2", "Adapter", false},
                                           SelectionCase{",Adapter,Adapter #2", "Adapter #2", true},
                                           SelectionCase{",Adapter #2,Adapter", "Adapter", true},
                                           SelectionCase{",Ethernet", "ethernet", false},
                                           SelectionCase{",WAN Miniport", "Miniport", false},
                                           SelectionCase{",", "Ethernet", false},
                                           SelectionCase{"", "Ethernet", false},
                                           SelectionCase{",", "", true},
                                           SelectionCase{",A,,B", "", true},
                                           SelectionCase{",A,B", "", false}));

}  // namespace
}  // namespace trafimo
