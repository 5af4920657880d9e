// Loading module images that carry code: linking the fixup stream in process,
// the handler-marker scan and the symbol table, and an assembled module run
// by a host executable from its section and from the fallback files.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>

#include "console/ConsoleApi.h"
#include "host/HandlerMarkers.h"
#include "host/IntrinsicTable.h"
#include "host/LibraryOpener.h"
#include "host/LoadedModule.h"
#include "host/SymbolTable.h"
#include "support/ProcessRunner.h"
#include "support/TempFolder.h"
#include "text/StringApi.h"

namespace rt::test {
namespace {

using host::Bytes;

template <class Value>
void put(Bytes& bytes, std::size_t at, Value value) {
  if (bytes.size() < at + sizeof value) bytes.resize(at + sizeof value);
  std::memcpy(bytes.data() + at, &value, sizeof value);
}

template <class Value>
Value get(std::span<const std::uint8_t> bytes, std::size_t at) {
  Value value;
  std::memcpy(&value, bytes.data() + at, sizeof value);
  return value;
}

// Fixup records in stream form.
struct Imports {
  Bytes bytes;
  Imports& call(const std::string& name, std::uint32_t site, std::uint8_t mode = 1) {
    bytes.push_back(1);
    bytes.push_back(mode);
    put(bytes, bytes.size(), site);
    return text(name);
  }
  Imports& library(const std::string& function, const std::string& name, std::uint32_t site) {
    bytes.push_back(4);
    put(bytes, bytes.size(), site);
    return text(function).text(name);
  }
  Imports& address(std::uint8_t kind, std::uint32_t site) {
    bytes.push_back(kind);
    put(bytes, bytes.size(), site);
    return *this;
  }
  Imports& text(const std::string& name) {
    bytes.push_back(static_cast<std::uint8_t>(name.size()));
    bytes.insert(bytes.end(), name.begin(), name.end());
    bytes.push_back(0);
    return *this;
  }
};

class LoadedModuleTest : public ::testing::Test {
 protected:
  // Places and links; the report printed meanwhile is kept in report_.
  const host::LoadedModule& load(Bytes code, const Imports& imports, Bytes data = {}) {
    image_.code = std::move(code);
    image_.data = std::move(data);
    image_.imports = imports.bytes;
    testing::internal::CaptureStdout();
    module_ = host::LoadedModule::load(image_);
    report_ = testing::internal::GetCapturedStdout();
    EXPECT_NE(module_, nullptr);
    return *module_;
  }

  std::uint32_t word(std::uint32_t site) const { return get<std::uint32_t>(module_->code(), site); }

  // The entry point a call site reaches, through its thunk on x86-64.
  void* entryBehind(std::uintptr_t target) const {
#if defined(__x86_64__)
    EXPECT_LT(target, std::uintptr_t{1} << 31);
    const auto* thunk = reinterpret_cast<const std::uint8_t*>(target);
    const std::uint8_t jump[] = {0xFF, 0x25, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(thunk, jump, sizeof jump), 0);
    return get<void*>(std::span(thunk, 14), 6);
#else
    return reinterpret_cast<void*>(target);
#endif
  }
  void* calledEntry(std::uint32_t site) const {
    return entryBehind(module_->codeBase() + site + 4 + get<std::int32_t>(module_->code(), site));
  }

  host::ModuleImage image_;
  std::unique_ptr<host::LoadedModule> module_;
  std::string report_;
};

Bytes chainedCode(std::size_t length, std::initializer_list<std::uint32_t> sites) {
  Bytes code(length, 0);
  for (auto site = sites.begin(); site != sites.end(); ++site) {
    put(code, *site, std::next(site) == sites.end() ? std::uint32_t{0} : *std::next(site));
  }
  return code;
}

TEST_F(LoadedModuleTest, RuntimeCallsBindIgnoringCaseAlongTheirChains) {
  Imports imports;
  imports.call("runtimeCONSOLEprint", 1)
      .call("RUNTIMELOCKSTRING", 25, 0)
      .call("RuntimeLockString", 30);
  load(chainedCode(40, {1, 9, 20}), imports);
  EXPECT_EQ(report_, "");
  for (std::uint32_t site : {1u, 9u, 20u}) {
    EXPECT_EQ(calledEntry(site), reinterpret_cast<void*>(&RuntimeConsolePrint)) << site;
  }
  // Mode 0 stores the address to call; one thunk serves all calls of an entry.
  EXPECT_EQ(entryBehind(word(25)), reinterpret_cast<void*>(&RuntimeLockString));
  EXPECT_EQ(module_->codeBase() + 30 + 4 + get<std::int32_t>(module_->code(), 30), word(25));
}

void firstTwin() {}

TEST_F(LoadedModuleTest, AmongEqualNamesTheLowestIndexWins) {
  void* first = reinterpret_cast<void*>(&firstTwin);
  intrinsics::registerFunction("LoaderTestTwin", first);
  intrinsics::registerFunction("loadertesttwin", reinterpret_cast<void*>(&RuntimeConsolePrint));
  intrinsics::registerFunction("runtimeLockString", reinterpret_cast<void*>(&RuntimeConsolePrint));
  load(Bytes(16, 0), Imports().call("LOADERTESTTWIN", 1).call("runtimelockstring", 6));
  EXPECT_EQ(calledEntry(1), first);
  EXPECT_EQ(calledEntry(6), reinterpret_cast<void*>(&RuntimeLockString));
}

TEST_F(LoadedModuleTest, UnknownImportIsReportedAndItsSitesStay) {
  load(chainedCode(16, {1, 6}), Imports().call("NoSuchEntryPoint", 1));
  EXPECT_EQ(report_,
            "Runtime Error 4:Failed Assertion\n\nPlease report what caused this error\n"
            "along with the information below.\n\n../Common/loaderX86: 211\n"
            "Failure Condition: foundFunction\nFunction 'NoSuchEntryPoint' was not exported\n\n");
  EXPECT_EQ(word(1), 6u);
  EXPECT_EQ(word(6), 0u);
}

// Kind 0 and unknown kinds are skipped a byte at a time.
TEST_F(LoadedModuleTest, AddressFixupsAddTheBaseOfTheirPart) {
  Bytes code(16, 0);
  put(code, 2, std::uint32_t{4});
  put(code, 8, std::uint32_t{12});
  Imports imports;
  imports.bytes = {0, 9, 200};
  load(code, imports.address(2, 2).address(3, 8), Bytes(8, 0));
  EXPECT_EQ(report_, "");
  EXPECT_EQ(word(2), module_->memory().dataBase() + 4);
  EXPECT_EQ(word(8), module_->codeBase() + 12);
}

TEST_F(LoadedModuleTest, StringConstantPointerIsSetOnlyWhenNull) {
  const std::string text = "Hi";
  Bytes data;
  const std::size_t blockSize = StringBlockSize(2), second = (blockSize + 7) / 8 * 8;
  for (std::size_t at : {std::size_t{0}, second}) {
    put(data, at + offsetof(StringBlock, refCount), std::uint32_t{1});
    put(data, at + offsetof(StringBlock, length), std::uint32_t{2});
    put(data, at + offsetof(StringBlock, lengthByte), std::uint8_t{2});
    for (std::size_t i = 0; i <= text.size(); ++i) {
      put(data, at + offsetof(StringBlock, text) + i, std::uint8_t(text.c_str()[i]));
    }
  }
  put(data, second + offsetof(StringBlock, buffer), std::uintptr_t{0x1234});
  Bytes code(24, 0);
  put(code, 10, static_cast<std::uint32_t>(second));
  load(code, Imports().address(5, 2).address(5, 6).address(5, 10), data);
  EXPECT_EQ(report_, "");
  const std::uintptr_t base = module_->memory().dataBase();
  EXPECT_EQ(word(2), base);
  EXPECT_EQ(word(6), base);
  EXPECT_EQ(word(10), base + second);
  const auto* first = reinterpret_cast<const StringBlock*>(base);
  EXPECT_EQ(first->buffer, &first->lengthByte);
  EXPECT_STREQ(reinterpret_cast<const char*>(first->buffer + 1), "Hi");
  EXPECT_EQ(reinterpret_cast<const StringBlock*>(base + second)->buffer,
            reinterpret_cast<unsigned char*>(0x1234));
}

TEST_F(LoadedModuleTest, LibraryCallsOpenEachLibraryOnceAndReportWhatIsMissing) {
  Imports imports;
  imports.library("cos", "libm", 1)
      .library("vantorNoSuchFunction", "LIBM", 6)
      .library("f", "libvantor-missing", 11)
      .library("g", "libvantor-missing", 16);
  load(Bytes(24, 0), imports);
  void* libm = dlopen("libm.so.6", RTLD_LAZY);
  EXPECT_EQ(calledEntry(1), dlsym(libm, "cos"));
  dlclose(libm);
  EXPECT_NE(report_.find("loaderX86: 285\nFailure Condition: functionEntry\n"
                         "Could not resolve function 'vantorNoSuchFunction' in LIBM\n"),
            std::string::npos);
  const std::string missing =
      "loaderX86: 271\nFailure Condition: lib->mLibraryHandle\nMissing shared library "
      "libvantor-missing\n";
  EXPECT_NE(report_.find(missing), std::string::npos);
  EXPECT_EQ(report_.find(missing), report_.rfind(missing)) << "reported once";
  EXPECT_EQ(word(6), 0u);
  EXPECT_EQ(word(16), 0u);
}

TEST(LibraryOpener, CachePathsMatchTheNameItsSharedFormAndVersions) {
  const std::string listing =
      "3 libs found in cache `/etc/ld.so.cache'\n"
      "\tlibm.so.6 (libc6,x86-64) => /lib/x86_64-linux-gnu/libm.so.6\n"
      "\tlibmd.so.0 (libc6,x86-64) => /lib/x86_64-linux-gnu/libmd.so.0\n"
      "\tlibm.so (libc6) => /usr/lib32/libm.so\n";
  EXPECT_EQ(host::cachedLibraryPaths("libm", listing),
            (std::vector<std::string>{"/lib/x86_64-linux-gnu/libm.so.6", "/usr/lib32/libm.so"}));
  EXPECT_EQ(host::cachedLibraryPaths("libm.so", listing),
            host::cachedLibraryPaths("libm", listing));
  EXPECT_TRUE(host::cachedLibraryPaths("libz", listing).empty());
}

// Each case keeps the code part at 16 bytes and the data part at 8: nothing
// may change beyond them.
TEST_F(LoadedModuleTest, MalformedFixupStreamsAreReportedAndWriteNothingOutsideTheParts) {
  struct Case {
    const char* name;
    Bytes imports;
    const char* report;
  };
  const Case cases[] = {
      {"call record cut in its site",
       {1, 1, 5, 0},
       "Fixup record of kind 1 at offset 0 is cut short"},
      {"call record cut in its name",
       {0, 1, 1, 5, 0, 0, 0, 5, 'A', 'B'},
       "kind 1 at offset 1 is cut short"},
      {"name without its zero",
       {1, 1, 5, 0, 0, 0, 1, 'A', 'B'},
       "has a name without its terminating zero"},
      {"library name cut", {4, 1, 0, 0, 0, 1, 'f', 0, 4, 'l'}, "kind 4 at offset 0 is cut short"},
      {"address record cut", {3, 1, 0}, "kind 3 at offset 0 is cut short"},
      {"site across the end", Imports().address(3, 13).bytes,
       "at site 13 lies outside the code part (16 bytes)"},
      {"site far beyond", Imports().address(2, 0xFFFFFFFF).bytes,
       "at site 4294967295 lies outside the code part"},
      {"chain leaving the code", Imports().call("RuntimeLockString", 12).bytes,
       "at site 14 lies outside"},
      {"chain in a loop", Imports().call("RuntimeLockString", 4).bytes, "comes back to site 4"},
      {"data offset beyond", Imports().address(2, 0).bytes,
       "holds offset 20 beyond the data part (8 bytes)"},
      {"string beyond the data", Imports().address(5, 4).bytes,
       "holds offset 8 beyond the data part (8 bytes)"},
      {"code offset beyond", Imports().address(3, 0).bytes,
       "holds offset 20 beyond the code part (16 bytes)"},
  };
  Bytes code(16, 0);
  put(code, 0, std::uint32_t{20});
  put(code, 4, std::uint32_t{8});
  put(code, 8, std::uint32_t{4});
  put(code, 12, std::uint32_t{14});
  for (const Case& c : cases) {
    Imports imports;
    imports.bytes = c.imports;
    const host::LoadedModule& module = load(code, imports, Bytes(8, 0x55));
    EXPECT_NE(report_.find(c.report), std::string::npos) << c.name << "\n" << report_;
    // The rest of each page stays as mapped: zero.
    const std::uint8_t* codeEnd = module.code().data() + 16;
    EXPECT_EQ(std::count(codeEnd, codeEnd + 64, 0), 64) << c.name;
    const std::span<std::uint8_t> data = module.memory().data();
    EXPECT_EQ(std::count(data.begin(), data.end(), 0x55), std::ssize(data)) << c.name;
    EXPECT_EQ(std::count(data.end(), data.end() + 64, 0), 64) << c.name;
  }
}

TEST(ModuleMemory, FailedProtectionIsPrintedAndLoadingGoesOn) {
  auto memory = host::ModuleMemory::place(Bytes{0xC3}, {}, 0);
  ASSERT_NE(memory, nullptr);
  testing::internal::CaptureStdout();
  memory->protect([](void*, std::size_t, int) {
    errno = EACCES;
    return -1;
  });
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Loader failed to protect memory, error #13\n");
}

// Code built from pieces: markers, end patterns and filler bytes.
Bytes marker(std::uint32_t kind, std::int16_t variable = -8, std::uint8_t jump = 0xE9) {
  Bytes bytes{jump, 0, 0, 0, 0};
  put(bytes, 5, kind);
  put(bytes, 9, std::uint16_t{0});
  put(bytes, 11, variable);
  return bytes;
}
Bytes join(std::initializer_list<Bytes> pieces) {
  Bytes all;
  for (const Bytes& piece : pieces) all.insert(all.end(), piece.begin(), piece.end());
  return all;
}

TEST(HandlerMarkers, ScanFindsTheHandlerServingTheReturnAddress) {
  const Bytes filler{0x90, 0x90, 0x90};
  const Bytes leaveReturn{0xC9, 0xC3}, popReturn{0x5D, 0xC3};
  // A jump whose operand holds an end pattern is passed over whole.
  const Bytes jumpOverPattern{0xE9, 0xC9, 0xC3, 0, 0};
  const Bytes handler = marker(0x411);
  struct Case {
    const char* name;
    Bytes code;
    std::optional<std::size_t> found;
  };
  const Case cases[] = {
      {"marker after the call", join({filler, marker(0x411)}), 3},
      {"short jump form", join({filler, marker(0x411, -8, 0xEB)}), 3},
      {"function ends first", join({filler, leaveReturn, marker(0x411)}), std::nullopt},
      {"pop form of the end", join({popReturn, marker(0x411)}), std::nullopt},
      {"nested block is skipped",
       join({marker(0x412), marker(0x411), filler, marker(0x413), marker(0x411)}), 3 * 13 + 3},
      {"unbalanced block end", join({marker(0x413), marker(0x411)}), 13},
      {"other jumps are passed", join({jumpOverPattern, marker(0x411)}), 5},
      {"marker cut by the code's end", Bytes(handler.begin(), handler.begin() + 12), std::nullopt},
      {"no marker", filler, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(host::findHandlerMarker(c.code, 0), c.found) << c.name;
  EXPECT_EQ(host::markerVariableOffset(marker(0x411, -96), 0), -96);
}

Bytes symbolsPart(std::initializer_list<std::pair<std::uint32_t, const char*>> entries) {
  Bytes part;
  put(part, 0, static_cast<std::uint32_t>(entries.size()));
  std::string names;
  for (const auto& [offset, name] : entries) {
    put(part, part.size(), offset);
    put(part, part.size(), static_cast<std::uint32_t>(names.size()));
    names += name;
    names += '\0';
  }
  part.insert(part.end(), names.begin(), names.end());
  return part;
}

TEST(SymbolTable, TheLastEntryStrictlyBelowNamesTheAddress) {
  // Table order decides, not offset order.
  const Bytes part = symbolsPart({{0, "Entry"}, {100, "Run"}, {40, "Helper"}});
  const host::SymbolTable table(part);
  struct Case {
    std::uint32_t offset;
    const char* name;
    std::uint32_t distance;
  };
  for (const Case& c : {Case{5, "Entry", 5}, Case{120, "Helper", 80}, Case{60, "Helper", 20},
                        Case{100, "Helper", 60}}) {
    const auto hit = table.find(c.offset);
    ASSERT_TRUE(hit) << c.offset;
    EXPECT_EQ(hit->name, c.name) << c.offset;
    EXPECT_EQ(hit->distance, c.distance) << c.offset;
  }
  EXPECT_FALSE(table.find(0));
  EXPECT_FALSE(host::SymbolTable().find(10));
}

TEST(SymbolTable, MalformedPartsAreReported) {
  Bytes unterminated = symbolsPart({{0, "Entry"}, {8, "Cut"}});
  unterminated.pop_back();
  Bytes tooMany = symbolsPart({{0, "Entry"}});
  put(tooMany, 0, std::uint32_t{1000});
  testing::internal::CaptureStdout();
  const host::SymbolTable cut(unterminated);
  const host::SymbolTable overlong(tooMany);
  const std::string report = testing::internal::GetCapturedStdout();
  EXPECT_NE(report.find("1 symbol names lie outside the symbols part"), std::string::npos)
      << report;
  EXPECT_NE(report.find("The symbols part is shorter than its entries"), std::string::npos)
      << report;
  EXPECT_EQ(cut.find(4)->name, "Entry");
  EXPECT_EQ(cut.find(12)->name, "Entry");
  EXPECT_FALSE(overlong.find(4));
}

const std::string kModuleOutput =
    "hello from loaded code\ncalled through an address\n"
    "caught:\nModuleError\nthrown by Thrower\nstack:\nThrower\nAppRun\nModuleEntry\n"
    "caught:\nIllegalCastException\nstack:\nAppRun\nModuleEntry\n"
    "caught:\nNilObjectException\nstack:\nAppRun\nModuleEntry\n"
    "handled without a variable\nRun returns 7\n"
    "caught:\nEndException\nstack:\nModuleEntry\n"
    "exit code\n7\n";

// The module prints, registers its classes, catches exceptions raised in its
// own code, inside runtime functions and behind a protected block, and ends
// through the module main's handler with Run's exit code. Given an argument,
// it lets an exception leave Run through its clean-up handler: the runtime
// that raised the Run event finishes, and the module main's handler receives it.
TEST(AssembledModule, RunsFromTheSectionOrTheFallbackFilesAndHandlesItsExceptions) {
  struct Case {
    const char* name;
    std::vector<std::string> arguments;  // the program first
    bool copyFiles;
    std::string out;
    std::string err = "";
  };
  const Case cases[] = {
      {"from the section of a host executable", {HOST_PROBE_ASSEMBLED}, false, kModuleOutput},
      {"from the fallback files", {HOST_PROBE}, true, kModuleOutput},
      {"an exception leaving Run reaches the module main",
       {HOST_PROBE_ASSEMBLED, "pass"},
       false,
       "letting an exception pass\ncaught:\nModuleError\nthrown by Thrower\nstack:\nThrower\n"
       "AppRun\nModuleEntry\nexit code\n0\n",
       "Exception Message: thrown by Thrower\nException Error Number: 0\n"
       "An exception of class ModuleError was not handled.  The application must shut down."},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    for (const auto& file : std::filesystem::directory_iterator(ASSEMBLED_FILES)) {
      if (c.copyFiles) std::filesystem::copy_file(file.path(), folder / file.path().filename());
    }
    ProcessLaunch launch;
    launch.program = c.arguments[0];
    launch.arguments = c.arguments;
    launch.workingDirectory = folder.path().string();
    const ProcessResult result = runProcess(launch);
    EXPECT_TRUE(result.exited) << c.name;
    EXPECT_EQ(result.status, 0) << c.name;
    EXPECT_EQ(result.out, c.out) << c.name;
    EXPECT_EQ(result.err, c.err) << c.name;
  }
}

}  // namespace
}  // namespace rt::test
