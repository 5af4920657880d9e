// VerifyScript on arbitrary script files, with or without a key system in
// the working folder. Only verification runs: the lines of a script are never
// carried out here, as they would go to the shell.
//
// Input: a byte of flags, the text of sys.dat up to a 0x01 byte, then the
// script file.
#include <cstdint>
#include <string>

#include "KeySystem.h"
#include "ModuleGlobals.h"
#include "Operations.h"
#include "support/FuzzInput.h"
#include "support/FuzzRuntime.h"

namespace {

using namespace vantor::app;
using vantor::fuzz::check;

enum Flags : std::uint8_t {
  kKeySystem = 1,
  kSourceFile = 2,
  // The script is given by a name the verification must not trip over.
  kOddScriptName = 4,
};

void verify(const std::uint8_t* data, std::size_t size) {
  vantor::fuzz::FuzzInput input(data, size);
  const auto flags = input.integer<std::uint8_t>();
  const std::string_view sysDat = input.upTo('\x01');
  vantor::fuzz::emptyApplicationFolder();
  if (flags & kKeySystem) {
    vantor::fuzz::writeFile(kSysDat, sysDat);
    // Ten entries in components 2 and 3, so that enc and dec lines get past
    // the counts to the source file check.
    std::string lines;
    for (int i = 0; i < 10; ++i) lines += "0\n";
    vantor::fuzz::writeFile(kComponentTwoFile, lines);
    vantor::fuzz::writeFile(kComponentThreeFile, lines);
  }
  if (flags & kSourceFile) vantor::fuzz::writeFile("a", "source bytes");
  vantor::fuzz::writeFile("script.txt", input.rest());

  createModuleGlobals();
  globals().cmd = rt::String(flags & kOddScriptName ? "x  script.txt" : "x script.txt");
  getParameters();
  const std::int32_t failed = verifyScript();
  check(failed == 0 || failed == 1, "VerifyScript returned " + std::to_string(failed));
  // The entry counts are those of the working folder again.
  const KeySystemCounts counts = countKeySystem(rt::String());
  check(globals().comp1Entries == counts.entries[0] && globals().comp2Entries == counts.entries[1] &&
            globals().comp3Entries == counts.entries[2],
        "VerifyScript left the simulated entry counts behind");
  releaseModuleGlobals();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  vantor::fuzz::startRuntime();
  const std::uint8_t warmUp[] = {kKeySystem | kSourceFile, '1', '\x01', 'k', 'i', 'l', 'l', 's', 'y', 's'};
  verify(warmUp, sizeof warmUp);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const vantor::fuzz::Balance balance;
  verify(data, size);
  balance.expectUnchanged("verifying a script");
  return 0;
}
