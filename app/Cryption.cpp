// enc and dec: the checks of a cryption, the loading of its key and the run
// of the cipher engine over the input in blocks.
#include <algorithm>
#include <memory>
#include <span>

#include "Console.h"
#include "KeySystem.h"
#include "LoadedKey.h"
#include "Messages.h"
#include "ModuleGlobals.h"
#include "Operations.h"
#include "Progress.h"
#include "RandomDraws.h"
#include "cipher/Cipher.h"
#include "console/ConsoleApi.h"
#include "files/ReplacementFile.h"
#include "numbers/NumberApi.h"
#include "text/StringFunctions.h"

namespace vantor::app {
namespace {

// Smaller inputs are done before a progress line would help.
constexpr std::int64_t kProgressAbove = std::int64_t{16} << 20;

// What differs between the two directions.
struct Direction {
  const char* word;
  const char* helpTopic;
  const char* verb;  // "encrypt" or "decrypt"
  const char* progress;
  const char* sameFileMessage;
  const char* completion;
  bool emptySourceSilentInScript;
};

constexpr Direction kEncryption{"enc",
                                "e",
                                "encrypt",
                                "Encrypting ",
                                "Source and encrypted file cannot be the same error.",
                                "==== Encryption completed ====",
                                false};
constexpr Direction kDecryption{"dec",
                                "d",
                                "decrypt",
                                "Decrypting ",
                                "Source and decrypted file cannot be the same error.",
                                "==== Decryption completed ====",
                                true};

rt::FolderItem fileParameter(std::int32_t index) { return rt::FolderItem::get(param(index)); }

// The byte count of a file; 0 for a missing file and for a folder.
std::int64_t fileLength(const rt::FolderItem& item) {
  if (!item || !item.exists() || item.isDirectory()) return 0;
  return static_cast<std::int64_t>(item.length());
}

bool checksPass(const Direction& direction) {
  const ModuleGlobals& g = globals();
  if (g.cmd == rt::String(direction.word)) {
    print(rt::String("Parameters missing error.  Enter help ") + rt::String(direction.helpTopic));
    print(rt::String(kBlank));
    return false;
  }
  if (!readComponentOneCount(rt::String()).present) {
    print(rt::String("A System is not in place.  Please issue ressys or "));
    print(rt::String("createsys before you can ") + rt::String(direction.verb) + rt::String("."));
    return false;
  }
  getParameters();
  if (g.paramCount != 5) {
    print(rt::String("Missing Parameters error.  Enter help ") + rt::String(direction.helpTopic));
    return false;
  }
  for (std::int32_t component = 1; component <= 3; ++component) {
    if (!isEntryNumber(rt::val(param(component + 2)))) {
      print(rt::String("Numeric Parameter required for component ") + rt::str(component) +
            rt::String(" error."));
      return false;
    }
  }
  // The same file under two names would be emptied by its own output.
  const rt::FolderItem source = fileParameter(1);
  const rt::FolderItem target = fileParameter(2);
  if (param(1) == param(2) || (source && target && source.isSameFile(target))) {
    print(rt::String(direction.sameFileMessage));
    return false;
  }
  const std::int32_t counts[] = {g.comp1Entries, g.comp2Entries, g.comp3Entries};
  for (std::int32_t component = 1; component <= 3; ++component) {
    if (counts[component - 1] < rt::val(param(component + 2))) {
      print(rt::String("Key component ") + rt::str(component) + rt::String(" contains ") +
            rt::str(counts[component - 1]) + rt::String(" elements"));
      return false;
    }
  }
  if (fileLength(rt::FolderItem::get(componentOneName(param(3)))) == 0) {
    print(rt::String("Value of Key component 1 is greater than what was created error."));
    print(rt::String("Enter sysdata"));
    return false;
  }
  if (fileLength(source) == 0) {
    if (!(direction.emptySourceSilentInScript && inScript())) {
      print(rt::String("Source file does not exist error."));
    }
    return false;
  }
  return true;
}

void resetLoadedKey() {
  ModuleGlobals& g = globals();
  for (std::int32_t t = 1; t <= kTableUpperBound; ++t) {
    for (const rt::Array* array : {&g.stepCount, &g.phase, &g.tableLine, &g.rotateDir,
                                   &g.rotateStep, &g.periodA, &g.periodB}) {
      rt::setIntegerAt(*array, t, 0);
    }
    rt::setStringAt(g.cipherTable, t, rt::String());
  }
}

class StreamSink final : public cipher::ByteSink {
 public:
  explicit StreamSink(rt::BinaryStream& stream) : stream_(stream) {}
  bool write(std::span<const std::uint8_t> bytes) override { return stream_.writeFrom(bytes); }

 private:
  rt::BinaryStream& stream_;
};

enum class RunResult { Done, SourceUnreadable, TargetUnwritable, RandomUnavailable };

// Feeds length bytes of the source to the engine (an Encryptor or Decryptor),
// read straight into the engine's own buffers.
template <class Engine>
RunResult feed(rt::BinaryStream& source, std::int64_t length, Engine& engine, Progress& progress) {
  for (std::int64_t left = length; left > 0;) {
    const std::span<std::uint8_t> space = engine.space();
    if (space.empty()) return RunResult::TargetUnwritable;
    const std::size_t wanted = static_cast<std::size_t>(
        std::min<std::int64_t>(left, static_cast<std::int64_t>(space.size())));
    const std::size_t got = source.readInto(space.first(wanted));
    if (got == 0) return RunResult::SourceUnreadable;
    if (!engine.commit(got)) return RunResult::TargetUnwritable;
    left -= static_cast<std::int64_t>(got);
    progress.update(length - left);
    RuntimeBackgroundTask();
  }
  return engine.finish() ? RunResult::Done : RunResult::TargetUnwritable;
}

RunResult runEngine(const Direction& direction, rt::BinaryStream& source, std::int64_t length,
                    rt::BinaryStream& target, cipher::RandomSource& fillers) {
  const cipher::Key key = loadedKey();
  const auto schedule = loadedSchedule();
  StreamSink sink(target);
  Progress progress(direction.progress, ProgressUnit::Bytes, length, length > kProgressAbove);
  if (&direction == &kEncryption) {
    cipher::Encryptor encryptor(key, *schedule, fillers, sink);
    return feed(source, length, encryptor, progress);
  }
  cipher::Decryptor decryptor(key, *schedule, sink);
  return feed(source, length, decryptor, progress);
}

void crypt(const Direction& direction) {
  if (!checksPass(direction)) return;
  resetLoadedKey();
  if (!loadSystemData() || !loadComponent1()) return;
  buildExpansionSchedule();
  if (!inScript()) {
    const char* tail = globals().expansionOn == 0 ? "..." : " with expansion...";
    print(rt::String(direction.progress) + param(1) + rt::String(tail));
  }
  // Filler bytes need the random source: without it no output is made.
  const bool drawsFillers = &direction == &kEncryption && globals().expansionOn != 0;
  RandomDraws fillers(rt::numbers::RandomUse::Public);
  if (drawsFillers && !fillers.available()) {
    print(rt::String(kRandomSourceUnavailable));
    return;
  }
  rt::BinaryStream source = fileParameter(1).openAsBinaryFile(false);
  if (!source) {
    print(rt::String("Source file cannot be read error."));
    return;
  }
  rt::ReplacementFile target(fileParameter(2));
  if (!target.stream()) {
    print(rt::String("Target file cannot be created error."));
    return;
  }
  RunResult result = runEngine(direction, source, source.length(), target.stream(), fillers);
  source.close();
  // Fillers drawn after a failed read are not random: such output is not kept.
  if (result == RunResult::Done && drawsFillers && !fillers.available())
    result = RunResult::RandomUnavailable;
  if (result == RunResult::Done && !target.commit()) result = RunResult::TargetUnwritable;
  if (result == RunResult::SourceUnreadable) print(rt::String("Source file cannot be read error."));
  if (result == RunResult::TargetUnwritable)
    print(rt::String("Target file could not be written error."));
  if (result == RunResult::RandomUnavailable) print(rt::String(kRandomSourceUnavailable));
  if (result != RunResult::Done || inScript()) return;
  print(rt::String(direction.completion));
  print(rt::String(kBlank));
}

}  // namespace

void encrypt() { crypt(kEncryption); }

void decrypt() { crypt(kDecryption); }

}  // namespace vantor::app
