// A growable list of word-sized items for the runtime's own bookkeeping (not
// visible to compiled code). The growth step doubles up to 4096 items, so
// long lists grow in few steps without large over-allocation for short ones.
// Access outside 0 ... count - 1 is an internal error: it is reported and
// yields a zero item.
#pragma once

#include <cstdint>
#include <algorithm>
#include <type_traits>
#include <vector>

#include "host/FailureReport.h"

namespace rt {

template <class Item>
class ItemList {
  static_assert(sizeof(Item) == 4 || sizeof(Item) == 8, "items are 4 or 8 bytes");
  static_assert(std::is_trivially_copyable_v<Item>);

 public:
  std::int32_t count() const { return count_; }
  std::int32_t capacity() const { return static_cast<std::int32_t>(items_.size()); }

  Item get(std::int32_t index) const {
    if (!inRange(index, "not (idx < 0 || idx >= lCount)")) return Item{};
    return items_[static_cast<std::size_t>(index)];
  }

  void set(std::int32_t index, Item item) {
    if (inRange(index, "not (idx < 0 || idx >= lCount)")) items_[static_cast<std::size_t>(index)] = item;
  }

  void append(Item item) {
    if (count_ == capacity()) {
      items_.resize(items_.size() + static_cast<std::size_t>(growthStep_));
      if (growthStep_ < kLargestGrowthStep) growthStep_ *= 2;
    }
    items_[static_cast<std::size_t>(count_++)] = item;
  }

  void remove(std::int32_t index) {
    if (!inRange(index, "not (idx < 0 || idx >= lCount)")) return;
    const auto at = items_.begin() + index;
    std::move(at + 1, items_.begin() + count_, at);
    --count_;
  }

 private:
  static constexpr std::int32_t kLargestGrowthStep = 4096;

  bool inRange(std::int32_t index, const char* condition) const {
    if (index >= 0 && index < count_) return true;
    reportAssertion("../Universal/SimpleVector", __LINE__, condition);
    return false;
  }

  std::vector<Item> items_;
  std::int32_t count_ = 0;
  std::int32_t growthStep_ = 16;
};

}  // namespace rt
