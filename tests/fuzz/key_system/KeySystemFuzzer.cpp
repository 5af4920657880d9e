// The key system files on arbitrary bytes: counting the entries (SystemData),
// then loading one chosen key (LoadSystemData, LoadComponent1) and building
// its expansion schedule, with entry numbers given as arbitrary text.
//
// Input: a byte of flags, then the texts of Param(3), Param(4) and Param(5),
// sys.dat, k2.dat and k3.bin, each ended by a 0x01 byte; the rest is the
// component-1 file that Param(3) names.
#include <cstdint>
#include <filesystem>
#include <string>

#include "KeySystem.h"
#include "ModuleGlobals.h"
#include "Operations.h"
#include "cipher/Cipher.h"
#include "objects/ArrayHandle.h"
#include "support/FuzzInput.h"
#include "support/FuzzRuntime.h"
#include "text/StringFunctions.h"

namespace {

using namespace vantor::app;
using vantor::fuzz::check;

constexpr char kEnd = '\x01';

enum Flags : std::uint8_t {
  kNoSysDat = 1,
  kNoComponentTwo = 2,
  kNoComponentThree = 4,
  kNoComponentOne = 8,
  // The file is a folder: present but unreadable.
  kComponentTwoIsFolder = 16,
  kComponentOneIsFolder = 32,
  kDisplayCounts = 64,
};

bool isPlainFileName(std::string_view name) {
  return !name.empty() && name.size() < 200 && name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

void makeFolder(const std::string& name) {
  std::error_code ignored;
  std::filesystem::create_directory(vantor::fuzz::applicationFolder() + "/" + name, ignored);
}

void writeKeySystem(vantor::fuzz::FuzzInput& input, std::uint8_t flags, const std::string& componentOne) {
  vantor::fuzz::emptyApplicationFolder();
  const std::string_view sysDat = input.upTo(kEnd);
  const std::string_view componentTwo = input.upTo(kEnd);
  const std::string_view componentThree = input.upTo(kEnd);
  if (!(flags & kNoSysDat)) vantor::fuzz::writeFile(kSysDat, sysDat);
  if (flags & kComponentTwoIsFolder) {
    makeFolder(kComponentTwoFile);
  } else if (!(flags & kNoComponentTwo)) {
    vantor::fuzz::writeFile(kComponentTwoFile, componentTwo);
  }
  if (!(flags & kNoComponentThree)) vantor::fuzz::writeFile(kComponentThreeFile, componentThree);
  const std::string_view tables = input.rest();
  if (!isPlainFileName(componentOne)) return;
  if (flags & kComponentOneIsFolder) {
    makeFolder(componentOne);
  } else if (!(flags & kNoComponentOne)) {
    vantor::fuzz::writeFile(componentOne, tables);
  }
}

void checkLoadedTables() {
  for (std::int32_t t = 1; t <= vantor::cipher::kTableCount; ++t) {
    // 256 fields, each one byte (codes below 256) or two (codes of 256 and more).
    const std::uint32_t length = rt::stringAt(globals().cipherTable, t).length();
    if (length < 256 || length > 512) {
      vantor::fuzz::fail("table " + std::to_string(t) + " has " + std::to_string(length) + " bytes");
    }
  }
}

void checkSchedule() {
  const ModuleGlobals& g = globals();
  for (std::int32_t i = 1; i <= vantor::cipher::kScheduleLength; ++i) {
    const std::int32_t count = rt::integerAt(g.expansionSchedule, i);
    // At least 1 when expansion is on, all 0 when it is off.
    if (g.expansionOn == 1 ? count < 1 : count != 0) {
      vantor::fuzz::fail("E(" + std::to_string(i) + ") = " + std::to_string(count) + " with expansion " +
                         std::to_string(g.expansionOn));
    }
  }
}

void countAndLoad(const std::uint8_t* data, std::size_t size) {
  vantor::fuzz::FuzzInput input(data, size);
  const auto flags = input.integer<std::uint8_t>();
  std::string params[3];
  for (std::string& param : params) param = std::string(input.upTo(kEnd));
  const rt::String componentOne = componentOneName(rt::String::bytes(params[0], kEncodingASCII));
  writeKeySystem(input, flags, componentOne.str());

  createModuleGlobals();
  systemData(flags & kDisplayCounts ? 1 : 0);
  const KeySystemCounts counts = countKeySystem(rt::String());
  check(counts.present == !(flags & kNoSysDat), "sys.dat presence");
  for (std::int32_t i = 0; i < 3; ++i) {
    check(counts.entries[i] >= 0 || i == 0, "a negative line count");
    rt::setStringAt(globals().param, i + 3, rt::String::bytes(params[i], kEncodingASCII));
  }
  if (loadSystemData() && loadComponent1()) checkLoadedTables();
  // Fields such as "9e9" give seeds far beyond three digits, whose sums wrap;
  // the bound on the counts holds for seeds that cannot wrap.
  bool smallSeeds = true;
  for (std::int32_t i = 1; i <= vantor::cipher::kSeedCount; ++i) {
    const std::int32_t seed = rt::integerAt(globals().expansionSchedule, i);
    smallSeeds = smallSeeds && seed >= -99 && seed <= 999;
  }
  buildExpansionSchedule();
  if (smallSeeds) checkSchedule();
  releaseModuleGlobals();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  vantor::fuzz::startRuntime();
  const std::uint8_t warmUp[] = {0, '1', kEnd, '1', kEnd, '1', kEnd, '1', kEnd};
  countAndLoad(warmUp, sizeof warmUp);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const vantor::fuzz::Balance balance;
  countAndLoad(data, size);
  balance.expectUnchanged("counting and loading a key system");
  return 0;
}
