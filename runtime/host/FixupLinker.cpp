#include "host/FixupLinker.h"

#include <dlfcn.h>

#include <cstddef>
#include <cstring>
#include <string>

#include "host/FailureReport.h"
#include "host/IntrinsicTable.h"
#include "host/LibraryOpener.h"
#include "text/StringBlock.h"

namespace rt::host {
namespace {

constexpr const char* kSourceFile = "../Common/loaderX86";
constexpr std::size_t kSiteSize = sizeof(std::uint32_t);

class Linker {
 public:
  explicit Linker(ModuleMemory& memory) : memory_(memory), code_(memory.code()), chained_(code_.size()) {}

  void apply(const FixupRecord& record) {
    switch (record.kind) {
      case kFixupRuntimeCall: return runtimeCall(record);
      case kFixupDataAddress: return addBase(record, memory_.dataBase(), memory_.data().size(), "data");
      case kFixupCodeAddress: return addBase(record, memory_.codeBase(), code_.size(), "code");
      case kFixupLibraryCall: return libraryCall(record);
      case kFixupStringConstant: return stringConstant(record);
      default: return;
    }
  }

 private:
  void runtimeCall(const FixupRecord& record) {
    const IntrinsicEntry* entry = intrinsics::findIgnoringCase(record.name.c_str());
    if (entry == nullptr) {
      reportAssertion(kSourceFile, 211, "foundFunction", ("Function '" + record.name + "' was not exported").c_str());
      return;
    }
    patchChain(record, entry->entryPoint, record.mode == kFixupModeRelative);
  }

  void libraryCall(const FixupRecord& record) {
    bool created = false;
    const LoadedLibrary& library = loadedLibrary(record.library, created);
    if (library.handle == nullptr) {
      if (created) {
        reportAssertion(kSourceFile, 271, "lib->mLibraryHandle", ("Missing shared library " + record.library).c_str());
      }
      return;
    }
    void* function = dlsym(library.handle, record.name.c_str());
    if (function == nullptr) {
      reportAssertion(kSourceFile, 285, "functionEntry",
                      ("Could not resolve function '" + record.name + "' in " + record.library).c_str());
      return;
    }
    patchChain(record, function, true);
  }

  // Each site holds the offset of the next one until 0; the link is read
  // before the site is overwritten.
  void patchChain(const FixupRecord& record, void* entryPoint, bool relative) {
    const std::uintptr_t target = memory_.callTarget(entryPoint);
    if (target == 0) {
      reportAssertion(kSourceFile, __LINE__, "thunk", ("No room for the thunk of '" + record.name + "'").c_str());
      return;
    }
    for (std::uint32_t site = record.site; site != 0;) {
      if (!inCode(site)) return outsideCode(record, site);
      if (chained_[site]) {
        reportAssertion(kSourceFile, __LINE__, "!visited[site]",
                        ("The call chain of '" + record.name + "' comes back to site " + std::to_string(site)).c_str());
        return;
      }
      chained_[site] = true;
      const std::uint32_t next = read(site);
      const std::uintptr_t value = relative ? target - (memory_.codeBase() + site) - kSiteSize : target;
      write(site, static_cast<std::uint32_t>(value));
      site = next;
    }
  }

  void addBase(const FixupRecord& record, std::uintptr_t base, std::size_t partLength, const char* part) {
    if (!inCode(record.site)) return outsideCode(record, record.site);
    const std::uint32_t offset = read(record.site);
    if (offset > partLength) return outsidePart(record, offset, part, partLength);
    write(record.site, static_cast<std::uint32_t>(base + offset));
  }

  // The site holds the offset of a string block in the data part; its buffer
  // pointer, when still null, is set to its length byte.
  void stringConstant(const FixupRecord& record) {
    if (!inCode(record.site)) return outsideCode(record, record.site);
    const std::uint32_t offset = read(record.site);
    const std::span<std::uint8_t> data = memory_.data();
    constexpr std::size_t header = offsetof(StringBlock, lengthByte);
    std::uint32_t length = 0;
    if (offset <= data.size() && data.size() - offset > header) {
      std::memcpy(&length, data.data() + offset + offsetof(StringBlock, length), sizeof length);
    }
    if (offset > data.size() || data.size() - offset <= header || data.size() - offset < StringBlockSize(length)) {
      return outsidePart(record, offset, "data", data.size());
    }
    const std::uintptr_t constant = memory_.dataBase() + offset;
    write(record.site, static_cast<std::uint32_t>(constant));
    std::uint8_t* pointerField = data.data() + offset + offsetof(StringBlock, buffer);
    std::uintptr_t buffer;
    std::memcpy(&buffer, pointerField, sizeof buffer);
    if (buffer != 0) return;
    buffer = constant + header;
    std::memcpy(pointerField, &buffer, sizeof buffer);
  }

  bool inCode(std::uint32_t site) const { return site <= code_.size() && code_.size() - site >= kSiteSize; }

  void outsideCode(const FixupRecord& record, std::uint32_t site) {
    const std::string detail = "Fixup of kind " + std::to_string(record.kind) + " at site " + std::to_string(site) +
                               " lies outside the code part (" + std::to_string(code_.size()) + " bytes)";
    reportAssertion(kSourceFile, __LINE__, "site + 4 <= codeLength", detail.c_str());
  }

  void outsidePart(const FixupRecord& record, std::uint32_t offset, const char* part, std::size_t partLength) {
    const std::string detail = "Fixup of kind " + std::to_string(record.kind) + " at site " +
                               std::to_string(record.site) + " holds offset " + std::to_string(offset) +
                               " beyond the " + part + " part (" + std::to_string(partLength) + " bytes)";
    reportAssertion(kSourceFile, __LINE__, "offset <= partLength", detail.c_str());
  }

  std::uint32_t read(std::uint32_t site) const {
    std::uint32_t value;
    std::memcpy(&value, code_.data() + site, sizeof value);
    return value;
  }

  void write(std::uint32_t site, std::uint32_t value) { std::memcpy(code_.data() + site, &value, sizeof value); }

  ModuleMemory& memory_;
  std::span<std::uint8_t> code_;
  std::vector<bool> chained_;  // sites already patched by a call chain
};

}  // namespace

std::size_t thunksNeeded(const std::vector<FixupRecord>& records) {
  std::size_t calls = 0;
  for (const FixupRecord& record : records) {
    calls += record.kind == kFixupRuntimeCall || record.kind == kFixupLibraryCall ? 1 : 0;
  }
  return calls;
}

void linkFixups(const std::vector<FixupRecord>& records, ModuleMemory& memory) {
  Linker linker(memory);
  for (const FixupRecord& record : records) linker.apply(record);
}

}  // namespace rt::host
