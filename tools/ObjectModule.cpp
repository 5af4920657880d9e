#include "ObjectModule.h"

#include <elf.h>

#include <algorithm>
#include <cstring>
#include <sstream>
#include <stdexcept>

#include "ObjectFile.h"

namespace vantor::tools {
namespace {

constexpr const char* kStringSection = ".zkstrings";
constexpr std::uint8_t kRuntimeCall = 1;
constexpr std::uint8_t kDataAddress = 2;
constexpr std::uint8_t kCodeAddress = 3;
constexpr std::uint8_t kStringConstant = 5;
constexpr std::uint8_t kModeRelative = 1;
constexpr std::uint8_t kModeAbsolute = 0;

enum class Part { none, code, data, strings };

struct Placement {
  Part part = Part::none;
  std::uint32_t at = 0;  // offset within its part
};

template <class Value>
void append(Bytes& out, Value value) {
  for (std::size_t i = 0; i < sizeof value; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void put32(Bytes& bytes, std::uint32_t at, std::uint32_t value) { std::memcpy(bytes.data() + at, &value, sizeof value); }

std::uint32_t checkedSize(std::size_t size) {
  if (size > UINT32_MAX) throw std::runtime_error("a part of the module exceeds 4 GiB");
  return static_cast<std::uint32_t>(size);
}

// Unwind tables and notes do not travel in module images.
bool carried(const ObjectSection& section) {
  return (section.flags & SHF_ALLOC) != 0 && section.type != SHT_NOTE && section.name != ".eh_frame";
}

bool isStringSection(const std::string& name) {
  return name == kStringSection || name.starts_with(std::string(kStringSection) + ".");
}

class Builder {
 public:
  explicit Builder(const ObjectFile& object) : object_(object), placements_(object.sections.size()) {}

  ObjectModule build() {
    placeSections(Part::code, module_.code);
    placeSections(Part::strings, module_.data);
    placeSections(Part::data, module_.data);
    for (const ObjectRelocations& relocations : object_.relocations) relocateSection(relocations);
    writeCallRecords();
    module_.imports.insert(module_.imports.end(), addressRecords_.begin(), addressRecords_.end());
    writeSymbols();
    return std::move(module_);
  }

 private:
  struct CallRecord {
    std::string name;
    std::uint8_t mode;
    std::vector<std::uint32_t> sites;
  };

  static Part partOf(const ObjectSection& section) {
    if (!carried(section)) return Part::none;
    if ((section.flags & SHF_EXECINSTR) != 0) return Part::code;
    return isStringSection(section.name) ? Part::strings : Part::data;
  }

  void placeSections(Part part, Bytes& into) {
    for (std::size_t i = 0; i < object_.sections.size(); ++i) {
      const ObjectSection& section = object_.sections[i];
      if (partOf(section) != part) continue;
      if (section.alignment > 1) {
        into.resize((into.size() + section.alignment - 1) / section.alignment * section.alignment);
      }
      placements_[i] = {part, checkedSize(into.size())};
      if (section.type == SHT_NOBITS) {
        into.resize(into.size() + section.size);
      } else {
        into.insert(into.end(), section.contents.begin(), section.contents.end());
      }
      checkedSize(into.size());
    }
  }

  void relocateSection(const ObjectRelocations& relocations) {
    const ObjectSection& section = object_.sections[relocations.section];
    const Placement& placement = placements_[relocations.section];
    if (placement.part == Part::none) return;
    for (const ObjectRelocation& relocation : relocations.entries) {
      if (placement.part != Part::code) {
        fail(relocation, section, "fixup sites lie in the code part only");
      }
      if (relocation.offset > section.size || section.size - relocation.offset < sizeof(std::uint32_t)) {
        fail(relocation, section, "the site lies beyond its section");
      }
      relocate(relocation, section, placement.at + static_cast<std::uint32_t>(relocation.offset));
    }
  }

  void relocate(const ObjectRelocation& relocation, const ObjectSection& section, std::uint32_t site) {
    // Both classes number their PC-relative 32-bit relocations alike.
    static_assert(R_X86_64_PC32 == R_386_PC32 && R_X86_64_PLT32 == R_386_PLT32);
    const bool pcRelative = relocation.type == R_X86_64_PC32 || relocation.type == R_X86_64_PLT32;
    const bool absolute = object_.is64 ? relocation.type == R_X86_64_32 || relocation.type == R_X86_64_32S
                                       : relocation.type == R_386_32;
    if (!pcRelative && !absolute) {
      fail(relocation, section, "only 32-bit absolute and PC-relative references can be fixed up");
    }
    const ObjectSymbol& symbol = object_.symbols[relocation.symbol];
    if (symbol.section == SHN_UNDEF) {
      if (symbol.name.empty()) fail(relocation, section, "the symbol has no name");
      if (pcRelative && relocation.addend != -4) {
        fail(relocation, section, "a call to a runtime function has the addend -4");
      }
      if (absolute && relocation.addend != 0) {
        fail(relocation, section, "the address of a runtime function takes no addend");
      }
      if (site == 0) fail(relocation, section, "a call site at code offset 0 cannot be chained");
      addCall(symbol.name, pcRelative ? kModeRelative : kModeAbsolute, site);
      return;
    }
    if (symbol.section >= placements_.size() || placements_[symbol.section].part == Part::none) {
      fail(relocation, section, "the symbol lies outside the code, the data and the string constants");
    }
    const Placement& target = placements_[symbol.section];
    const std::int64_t offset = std::int64_t{target.at} + static_cast<std::int64_t>(symbol.value) + relocation.addend;
    if (pcRelative) {
      if (target.part != Part::code) fail(relocation, section, "a PC-relative reference reaches only the code");
      put32(module_.code, site, static_cast<std::uint32_t>(offset - site));
      return;
    }
    const std::size_t partSize = target.part == Part::code ? module_.code.size() : module_.data.size();
    if (offset < 0 || static_cast<std::uint64_t>(offset) > partSize) {
      fail(relocation, section, "the address lies outside its part");
    }
    put32(module_.code, site, static_cast<std::uint32_t>(offset));
    addressRecords_.push_back(target.part == Part::code   ? kCodeAddress
                              : target.part == Part::data ? kDataAddress
                                                          : kStringConstant);
    append(addressRecords_, site);
  }

  void addCall(const std::string& name, std::uint8_t mode, std::uint32_t site) {
    if (name.size() > 255) throw std::runtime_error("the name " + name + " is longer than 255 bytes");
    auto record = std::find_if(calls_.begin(), calls_.end(),
                               [&](const CallRecord& call) { return call.name == name && call.mode == mode; });
    if (record == calls_.end()) record = calls_.insert(calls_.end(), CallRecord{name, mode, {}});
    record->sites.push_back(site);
  }

  // Each site holds the offset of the next site of its record; 0 ends.
  void writeCallRecords() {
    for (const CallRecord& call : calls_) {
      for (std::size_t i = 0; i < call.sites.size(); ++i) {
        put32(module_.code, call.sites[i], i + 1 < call.sites.size() ? call.sites[i + 1] : 0);
      }
      module_.imports.push_back(kRuntimeCall);
      module_.imports.push_back(call.mode);
      append(module_.imports, call.sites.front());
      module_.imports.push_back(static_cast<std::uint8_t>(call.name.size()));
      module_.imports.insert(module_.imports.end(), call.name.begin(), call.name.end());
      module_.imports.push_back(0);
    }
  }

  void writeSymbols() {
    struct Function {
      std::uint32_t offset;
      const std::string* name;
    };
    std::vector<Function> functions;
    for (const ObjectSymbol& symbol : object_.symbols) {
      if (symbol.type != STT_FUNC || symbol.section >= placements_.size() ||
          placements_[symbol.section].part != Part::code) {
        continue;
      }
      functions.push_back({placements_[symbol.section].at + static_cast<std::uint32_t>(symbol.value), &symbol.name});
    }
    if (functions.empty()) return;
    std::stable_sort(functions.begin(), functions.end(),
                     [](const Function& a, const Function& b) { return a.offset < b.offset; });
    append(module_.symbols, checkedSize(functions.size()));
    Bytes names;
    for (const Function& function : functions) {
      append(module_.symbols, function.offset);
      append(module_.symbols, checkedSize(names.size()));
      names.insert(names.end(), function.name->begin(), function.name->end());
      names.push_back(0);
    }
    module_.symbols.insert(module_.symbols.end(), names.begin(), names.end());
  }

  // Section symbols have no name of their own: they stand for their section.
  const std::string& symbolName(std::uint32_t index) const {
    const ObjectSymbol& symbol = object_.symbols[index];
    if (symbol.type == STT_SECTION && symbol.section < object_.sections.size()) {
      return object_.sections[symbol.section].name;
    }
    return symbol.name;
  }

  [[noreturn]] void fail(const ObjectRelocation& relocation, const ObjectSection& section, const char* reason) const {
    std::ostringstream message;
    message << "cannot express " << relocationName(object_.is64, relocation.type) << " at " << section.name
            << "+0x" << std::hex << relocation.offset << " against '" << symbolName(relocation.symbol)
            << "': " << reason;
    throw std::runtime_error(message.str());
  }

  const ObjectFile& object_;
  std::vector<Placement> placements_;
  ObjectModule module_;
  std::vector<CallRecord> calls_;
  Bytes addressRecords_;
};

}  // namespace

ObjectModule moduleFromObject(const Bytes& objectFile) {
  const ObjectFile object = readObjectFile(objectFile);
  return Builder(object).build();
}

}  // namespace vantor::tools
