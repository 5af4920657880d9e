// The filler schedule: 20000 counts grown from the ten seeds by a fixed recipe
// of exchanges, sums and copies. The arithmetic is that of 32-bit Integers:
// sums wrap, quotients are taken in floating point and truncated toward zero.
#include <cmath>
#include <cstdint>

#include "cipher/Cipher.h"

namespace vantor::cipher {
namespace {

std::int32_t plus(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

std::int32_t minus(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

std::int32_t quotient(std::int32_t sum, int divisor) {
  return static_cast<std::int32_t>(static_cast<double>(sum) / divisor);
}

std::int32_t halfRounded(std::int32_t value) {
  return static_cast<std::int32_t>(std::round(static_cast<double>(value) / 2.0));
}

class ScheduleBuilder {
 public:
  explicit ScheduleBuilder(std::array<std::int32_t, kScheduleLength + 1>& e) : e_(e) {}

  std::int32_t sum(int first, int last) const {
    std::int32_t total = 0;
    for (int i = first; i <= last; ++i) total = plus(total, e_[i]);
    return total;
  }

  void exchange(int a, int b) { std::swap(e_[a], e_[b]); }

  void reverseFirstTen() {
    for (int i = 1; i <= 5; ++i) exchange(i, 11 - i);
  }

  void add(std::initializer_list<int> indices, std::int32_t d) {
    for (int i : indices) e_[i] = plus(e_[i], d);
  }

  void subtract(std::initializer_list<int> indices, std::int32_t d) {
    for (int i : indices) e_[i] = minus(e_[i], d);
  }

  void startAppendingAt(int position) { write_ = position; }
  void append(std::int32_t value) { e_[write_++] = value; }

  // Appends E(j) + a for j from first towards last in steps of step (negative
  // steps count down), both ends included.
  void appendRange(int first, int last, int step, std::int32_t a) {
    for (int j = first; step > 0 ? j <= last : j >= last; j += step) append(plus(e_[j], a));
  }

  std::int32_t& operator[](int i) { return e_[i]; }

 private:
  std::array<std::int32_t, kScheduleLength + 1>& e_;
  int write_ = 0;
};

void growSeeds(ScheduleBuilder& e) {
  e.exchange(1, 3);
  e.exchange(6, 8);
  std::int32_t d = quotient(e.sum(1, 3), 3);
  e.add({1, 3, 5}, d);
  e.subtract({4, 7, 9}, d);
  e.exchange(10, 5);
  e.exchange(7, 9);
  d = quotient(e.sum(4, 6), 3);
  e.add({2, 6, 8}, d);
  e.subtract({10, 7, 1}, d);
  e.reverseFirstTen();
  d = quotient(e.sum(1, 10), 10);
  e.add({1, 3, 5, 7, 9}, d);
  e.subtract({2, 4, 6, 8}, d);
  for (int i = 1; i <= 10; ++i) e[10 + i] = e[i];
  e.reverseFirstTen();
  d = quotient(e.sum(1, 10), 10);
  e.subtract({1, 3, 5, 7, 9}, d);
  e.add({2, 4, 6, 8}, d);
  constexpr std::int32_t kTwists[10] = {2, -3, 4, -2, 3, -4, 2, -3, 4, -2};
  for (int i = 1; i <= 10; ++i) e[20 + i] = plus(e[i], kTwists[i - 1]);
  for (int j = 1; j <= 10; ++j) e[30 + j] = e[3 * j - 2];
  for (int i = 1; i <= 40; ++i) {
    if (e[i] >= 0 && e[i] < 2) e[i] = 2;
    if (e[i] < 0) e[i] = minus(0, e[i]);
  }
}

void fillFirstFiveHundred(ScheduleBuilder& e) {
  constexpr int kSources[20][2] = {{2, 2},  {4, 4},  {6, 6},  {8, 8},  {10, 10}, {12, 8}, {14, 6},
                                   {16, 4}, {18, 2}, {20, 1}, {19, 3}, {18, 5},  {17, 7}, {16, 5},
                                   {15, 3}, {14, 1}, {13, 5}, {12, 4}, {11, 2},  {10, 1}};
  for (int i = 0; i < 20; ++i) e[41 + i] = plus(e[kSources[i][0]], kSources[i][1]);
  for (int x = 61; x <= 100; ++x) e[x] = plus(e[x - 60], e[x - 51]);
  for (int x = 101; x <= 200; ++x) e[x] = e[201 - x];
  for (int x = 201; x <= 300; ++x) e[x] = e[2 * (x - 200) - 1];
  for (int x = 301; x <= 400; ++x) e[x] = e[199 - 2 * (x - 301)];
  for (int x = 401; x <= 500; ++x) e[x] = plus(e[1 + 3 * (x - 401)], 2);
}

void appendToFiveThousand(ScheduleBuilder& e) {
  e.startAppendingAt(501);
  for (int j = 500; j >= 1; --j) e.append(halfRounded(e[j]));
  e.appendRange(1, 499, 2, 0);
  e.appendRange(500, 2, -2, 0);
  e.appendRange(1, 997, 4, 1);
  e.appendRange(1000, 5, -5, 3);
  e.appendRange(1500, 1200, -2, 2);
  e.appendRange(1000, 2000, 1, 2);
  e.appendRange(1, 1000, 3, 2);
  e.appendRange(1000, 1, -3, 2);
  e.appendRange(1, 991, 10, 1);
  e.appendRange(1001, 1991, 10, 2);
  e.appendRange(2001, 2991, 10, 3);
  e.appendRange(3001, 3991, 10, 2);
  e.appendRange(2000, 1000, -10, -2);
  e.appendRange(3000, 2000, -10, 3);
  e.appendRange(4001, 3001, -10, 2);
  e.appendRange(100, 4000, 100, 2);
  e.appendRange(3900, 100, -100, 3);
  e.appendRange(10, 4440, 10, 2);
  e[4998] = plus(plus(e[1], e[100]), e[66]);
  e[4999] = plus(plus(e[5], e[1000]), e[660]);
  e[5000] = plus(plus(e[10], e[2100]), e[2660]);
  for (int i = 1; i <= 5000; ++i) {
    if (e[i] < 0) e[i] = minus(0, e[i]);
    if (e[i] == 0) e[i] = 15;
  }
}

void mirrorToTwentyThousand(ScheduleBuilder& e) {
  e.startAppendingAt(5001);
  e.appendRange(1, 4999, 2, 0);
  e.appendRange(5000, 2, -2, 0);
  e[10000] = plus(e[1], e[5000]);
  e.startAppendingAt(10001);
  e.appendRange(10000, 1, -1, 1);
}

}  // namespace

Schedule buildSchedule(std::span<const std::int32_t, kSeedCount> seeds) {
  Schedule schedule;
  ScheduleBuilder e(schedule.counts);
  for (int i = 0; i < kSeedCount; ++i) e[i + 1] = seeds[i];
  if (e.sum(1, kSeedCount) == 0) return schedule;
  schedule.on = true;
  growSeeds(e);
  fillFirstFiveHundred(e);
  appendToFiveThousand(e);
  mirrorToTwentyThousand(e);
  return schedule;
}

}  // namespace vantor::cipher
