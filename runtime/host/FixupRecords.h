// The fixup record stream of a module image (its import part): one kind byte
// per record, then the kind's fields, with no padding between records.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace rt::host {

enum FixupKind : std::uint8_t {
  kFixupIgnored = 0,
  kFixupRuntimeCall = 1,     // mode, first site of a chain, entry point name
  kFixupDataAddress = 2,     // site holding an offset into the data part
  kFixupCodeAddress = 3,     // site holding an offset into the code part
  kFixupLibraryCall = 4,     // first site of a chain, function name, library name
  kFixupStringConstant = 5,  // site holding the data offset of a string constant
};

// Mode of a runtime call: the sites are rel32 operands of calls; any other
// mode stores the absolute address.
constexpr std::uint8_t kFixupModeRelative = 1;

struct FixupRecord {
  std::uint8_t kind;
  std::uint8_t mode;  // runtime calls only
  std::uint32_t site;
  std::string name;     // entry point or library function
  std::string library;  // library calls only
};

// The records of a stream in order; bytes of unknown kinds are skipped. A
// record cut short by the end of the stream, or a name without its zero byte,
// is reported and ends the stream there.
std::vector<FixupRecord> parseFixupRecords(std::span<const std::uint8_t> stream);

}  // namespace rt::host
