// Shared test fixture: every test must leave the allocator's running total and
// the live-object count where it found them, and no exception pending.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

namespace rt::test {

class RuntimeTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Takes the current totals as the new baseline: for tests that first make
  // things that live for the whole process (class records and their names).
  void rebaseline();

 private:
  std::int64_t bytesAtStart_ = 0;
  std::int64_t objectsAtStart_ = 0;
};

}  // namespace rt::test
