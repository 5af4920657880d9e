// The module functions that load one chosen key into the globals, build its
// expansion schedule and turn its tables by one byte.
#include <span>

#include "Console.h"
#include "KeySystem.h"
#include "LoadedKey.h"
#include "ModuleGlobals.h"
#include "Operations.h"
#include "cipher/Cipher.h"
#include "console/ConsoleApi.h"
#include "text/StringFunctions.h"

namespace vantor::app {
namespace {

constexpr std::int32_t kTables = cipher::kTableCount;

// Line number of the file (the last line read when reading that many);
// past the end, and for numbers below 1, the empty line.
rt::String lineOf(rt::TextInputStream& in, double number) {
  rt::String line;
  for (std::int64_t i = 1; static_cast<double>(i) <= number; ++i) {
    if (in.eof()) return rt::String();
    line = in.readLine();
    RuntimeBackgroundTask();
  }
  return line;
}

// The line of a key file chosen by number, or false (reported) when the
// file cannot be opened.
bool readKeyLine(const rt::String& name, double number, rt::String& line) {
  rt::FolderItem item = rt::FolderItem::get(name);
  rt::TextInputStream in = item ? item.openRegularTextFile() : rt::TextInputStream();
  if (!in) {
    reportUnreadable(name);
    return false;
  }
  line = lineOf(in, number);
  in.close();
  return true;
}

// Reads fields of width characters from position into array indices 1 to count.
void readFields(const rt::String& line, std::int32_t& position, std::int32_t width,
                const rt::Array& array, std::int32_t count) {
  for (std::int32_t i = 1; i <= count; ++i) {
    rt::setIntegerAt(array, i, toInteger(rt::val(rt::mid(line, position, width))));
    position += width;
  }
}

// A result as the module's Integer arithmetic gives it: wrapped to 32 bits.
std::int32_t wrapped(std::int64_t value) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// Right(s, n) + Left(s, m): the rotation step of one table.
rt::String rotated(const rt::String& table, std::int32_t fromRight, std::int32_t fromLeft) {
  return rt::right(table, fromRight) + rt::left(table, fromLeft);
}

}  // namespace

bool loadSystemData() {
  ModuleGlobals& g = globals();
  print(rt::String("Loading System data..."));
  rt::String line;
  if (!readKeyLine(rt::String(kComponentTwoFile), rt::val(param(4)), line)) return false;
  std::int32_t position = 1;
  readFields(line, position, 7, g.tableLine, kTables);
  if (!readKeyLine(rt::String(kComponentThreeFile), rt::val(param(5)), line)) return false;
  position = 1;
  for (const rt::Array* settings : {&g.rotateDir, &g.periodA, &g.periodB, &g.rotateStep}) {
    readFields(line, position, 3, *settings, kTables);
  }
  readFields(line, position, 3, g.expansionSchedule, cipher::kSeedCount);
  return true;
}

bool loadComponent1() {
  ModuleGlobals& g = globals();
  const rt::String name = componentOneName(param(3));
  // The file is read from its start for every table.
  for (std::int32_t t = 1; t <= kTables; ++t) {
    rt::String line;
    if (!readKeyLine(name, rt::integerAt(g.tableLine, t), line)) return false;
    rt::String table = rt::stringAt(g.cipherTable, t);
    for (std::int32_t j = 1; j <= 256; ++j) {
      table = table + rt::chr(toInteger(rt::val(rt::mid(line, 3 * j - 2, 3))));
    }
    rt::setStringAt(g.cipherTable, t, table);
  }
  return true;
}

void buildExpansionSchedule() {
  ModuleGlobals& g = globals();
  std::array<std::int32_t, cipher::kSeedCount> seeds{};
  for (std::int32_t i = 1; i <= cipher::kSeedCount; ++i)
    seeds[i - 1] = rt::integerAt(g.expansionSchedule, i);
  const auto schedule = std::make_unique<cipher::Schedule>(cipher::buildSchedule(seeds));
  for (std::int32_t i = 1; i <= cipher::kScheduleLength; ++i) {
    rt::setIntegerAt(g.expansionSchedule, i, schedule->counts[i]);
  }
  g.expansionOn = schedule->on ? 1 : 0;
}

cipher::Key loadedKey() {
  const ModuleGlobals& g = globals();
  cipher::Key key;
  for (std::int32_t t = 1; t <= cipher::kTableCount; ++t) {
    key.tables[t - 1] = rt::stringAt(g.cipherTable, t).str();
    key.direction[t - 1] = rt::integerAt(g.rotateDir, t);
    key.periodA[t - 1] = rt::integerAt(g.periodA, t);
    key.periodB[t - 1] = rt::integerAt(g.periodB, t);
    key.step[t - 1] = rt::integerAt(g.rotateStep, t);
  }
  return key;
}

std::unique_ptr<cipher::Schedule> loadedSchedule() {
  const ModuleGlobals& g = globals();
  auto schedule = std::make_unique<cipher::Schedule>();
  schedule->on = g.expansionOn == 1;
  for (std::int32_t i = 1; i <= cipher::kScheduleLength; ++i) {
    schedule->counts[i] = rt::integerAt(g.expansionSchedule, i);
  }
  return schedule;
}

void rotateTables() {
  ModuleGlobals& g = globals();
  for (std::int32_t t = 1; t <= kTables; ++t) {
    const std::int32_t steps = wrapped(std::int64_t{rt::integerAt(g.stepCount, t)} + 1);
    const std::int32_t step = rt::integerAt(g.rotateStep, t);
    const std::int32_t direction = rt::integerAt(g.rotateDir, t);
    const rt::String table = rt::stringAt(g.cipherTable, t);
    rt::setStringAt(g.cipherTable, t,
                    direction > 0 ? rotated(table, wrapped(256 - std::int64_t{step}), step)
                                  : rotated(table, step, wrapped(256 - std::int64_t{step})));
    const std::int32_t phase = rt::integerAt(g.phase, t);
    const std::int32_t limit = rt::integerAt(phase == 0 ? g.periodA : g.periodB, t);
    if (steps < limit) {
      rt::setIntegerAt(g.stepCount, t, steps);
      continue;
    }
    // The table reverses: the next phase, the other direction.
    rt::setIntegerAt(g.phase, t, phase + 1 > 1 ? 0 : phase + 1);
    const std::int32_t turned = wrapped(std::int64_t{direction} + 1);
    rt::setIntegerAt(g.rotateDir, t, turned > 1 ? 0 : turned);
    rt::setIntegerAt(g.stepCount, t, 0);
  }
}

}  // namespace vantor::app
