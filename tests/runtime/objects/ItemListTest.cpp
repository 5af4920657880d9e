#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "objects/ItemList.h"

namespace {

TEST(ItemList, GrowsByADoublingStepAndKeepsOrder) {
  rt::ItemList<std::int32_t> list;
  std::vector<std::int32_t> capacities;
  for (std::int32_t i = 0; i < 1000; ++i) {
    list.append(i);
    if (i == 0 || i == 16 || i == 48) capacities.push_back(list.capacity());
  }
  EXPECT_EQ(capacities, (std::vector<std::int32_t>{16, 48, 112}));
  list.remove(0);
  EXPECT_EQ(list.count(), 999);
  EXPECT_EQ(list.get(0), 1);
  EXPECT_EQ(list.get(998), 999);
  list.set(5, -5);
  EXPECT_EQ(list.get(5), -5);
}

TEST(ItemList, AccessOutsideTheItemsIsReported) {
  rt::ItemList<void*> list;
  list.append(nullptr);
  testing::internal::CaptureStdout();
  EXPECT_EQ(list.get(1), nullptr);
  list.set(-1, &list);
  list.remove(1);
  const std::string report = testing::internal::GetCapturedStdout();
  EXPECT_EQ(list.count(), 1);
  std::size_t reports = 0;
  for (std::size_t at = report.find("not (idx < 0 || idx >= lCount)"); at != std::string::npos;
       at = report.find("not (idx < 0 || idx >= lCount)", at + 1)) {
    ++reports;
  }
  EXPECT_EQ(reports, 3u);
}

}  // namespace
