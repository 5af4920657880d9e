#include "console/ReadyArray.h"

#include <algorithm>
#include <limits>

namespace rt::console {
namespace {

// The ready array starts with room for the main thread and a few others.
constexpr std::size_t kInitialCapacity = 16;

bool eligible(const ThreadRecord& record, std::uint32_t now) {
  return record.suspendCount == 0 && !isSleeping(record, now);
}

}  // namespace

void ReadyArray::add(ThreadRecord* record, std::int32_t count) {
  if (count <= 0) return;
  if (entries_.capacity() == 0) entries_.reserve(kInitialCapacity);
  entries_.insert(entries_.begin(), static_cast<std::size_t>(count), ReadyEntry{record, false});
}

void ReadyArray::remove(ThreadRecord* record, std::int32_t count) {
  for (auto entry = entries_.end(); count > 0 && entry != entries_.begin();) {
    --entry;
    if (entry->record != record) continue;
    entry = entries_.erase(entry);
    --count;
  }
}

void ReadyArray::removeAll(ThreadRecord* record) {
  std::erase_if(entries_, [record](const ReadyEntry& entry) { return entry.record == record; });
}

bool ReadyArray::onlyOneThread() const {
  const ThreadRecord* first = entries_.front().record;
  return std::all_of(entries_.begin(), entries_.end(),
                     [first](const ReadyEntry& entry) { return entry.record == first; });
}

bool ReadyArray::everyThreadHeld() const {
  return std::none_of(entries_.begin(), entries_.end(),
                      [](const ReadyEntry& entry) { return entry.record->suspendCount == 0; });
}

std::uint32_t ReadyArray::nearestWake(std::uint32_t now) const {
  std::uint32_t nearest = std::numeric_limits<std::uint32_t>::max();
  for (const ReadyEntry& entry : entries_) {
    const ThreadRecord& record = *entry.record;
    if (record.suspendCount == 0 && isSleeping(record, now)) {
      nearest = std::min(nearest, record.wakeTime - now);
    }
  }
  return nearest;
}

Choice ReadyArray::take(std::size_t index) {
  entries_[index].used = true;
  ThreadRecord* record = entries_[index].record;
  record->state = 0;
  return Choice{Choice::Kind::Chosen, record};
}

Choice ReadyArray::choose(std::uint32_t now) {
  if (entries_.empty() || everyThreadHeld()) return Choice{Choice::Kind::AllWaiting};
  if (onlyOneThread()) {
    ThreadRecord* record = entries_.front().record;
    if (isSleeping(*record, now)) {
      return Choice{Choice::Kind::Wait, nullptr, record->wakeTime - now};
    }
    record->state = 0;
    return Choice{Choice::Kind::Chosen, record};
  }

  constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();
  std::size_t firstUnused = kNone;
  std::size_t firstUsed = kNone;
  std::size_t earlyWaker = kNone;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const ReadyEntry& entry = entries_[i];
    const ThreadRecord& record = *entry.record;
    if (eligible(record, now)) {
      if (!entry.used) {
        firstUnused = i;
        break;
      }
      if (firstUsed == kNone) firstUsed = i;
    } else if (earlyWaker == kNone && !entry.used && record.wakeEarly && record.suspendCount == 0) {
      earlyWaker = i;
    }
  }

  if (firstUnused != kNone) return take(earlyWaker != kNone ? earlyWaker : firstUnused);
  if (firstUsed != kNone) {
    for (ReadyEntry& entry : entries_) entry.used = false;
    return take(firstUsed);
  }
  return Choice{Choice::Kind::Wait, nullptr, nearestWake(now)};
}

}  // namespace rt::console
