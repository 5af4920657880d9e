// Building module parts from ELF relocatable objects, assembled here with the
// GNU assembler for x86-64 and for x86-32.
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>

#include "ObjectModule.h"
#include "support/ProcessRunner.h"
#include "support/TempFolder.h"

namespace {

using vantor::tools::Bytes;

Bytes assemble(const std::string& source, bool wide) {
  rt::test::TempFolder folder;
  const std::string input = folder / "module.s", output = folder / "module.o";
  vantor::tools::writeFile(input, Bytes(source.begin(), source.end()));
  rt::test::ProcessLaunch launch;
  launch.program = GNU_AS;
  launch.arguments = {GNU_AS, wide ? "--64" : "--32", "-o", output, input};
  const rt::test::ProcessResult result = rt::test::runProcess(launch);
  if (!result.exited || result.status != 0) throw std::runtime_error("as failed: " + result.err);
  return vantor::tools::readFile(output);
}

std::uint32_t wordAt(const Bytes& bytes, std::size_t at) {
  std::uint32_t value;
  std::memcpy(&value, bytes.data() + at, sizeof value);
  return value;
}

Bytes callRecord(const std::string& name, std::uint8_t mode, std::uint8_t site) {
  std::string record{1, static_cast<char>(mode), static_cast<char>(site), 0, 0, 0, static_cast<char>(name.size())};
  record += name;
  record += '\0';
  return Bytes(record.begin(), record.end());
}

// The same source gives the same parts in both classes, the x86-32 object
// keeping its addends in the sites.
TEST(ObjectModule, RelocationsBecomeChainedCallsAndAddressFixups) {
  const std::string source = R"(
  .text
  .type First, @function
First:
  call Alpha
  call Beta
  call alpha
  call Alpha
  movl $Alpha, %eax
  movl $Local, %eax
  movl $Global, %eax
  movl $Text, %eax
  call Second
Local:
  ret
  .globl Second
  .type Second, @function
Second:
  ret
  .data
  .p2align 2
  .long 0
Global: .long 5
  .section .zkstrings, "a"
  .byte 1, 2, 3
Text: .byte 4
)";
  for (bool wide : {true, false}) {
    const auto module = vantor::tools::moduleFromObject(assemble(source, wide));
    Bytes imports;
    for (const Bytes& record : {callRecord("Alpha", 1, 1), callRecord("Beta", 1, 6), callRecord("alpha", 1, 11),
                                callRecord("Alpha", 0, 21), Bytes{3, 26, 0, 0, 0, 2, 31, 0, 0, 0, 5, 36, 0, 0, 0}}) {
      imports.insert(imports.end(), record.begin(), record.end());
    }
    EXPECT_EQ(module.imports, imports) << wide;
    // Chains, then the offsets the address fixups add their bases to, then
    // the call into the module's own code, resolved.
    const std::pair<std::size_t, std::uint32_t> sites[] = {{1, 16}, {16, 0}, {6, 0},  {11, 0}, {21, 0},
                                                           {26, 45}, {31, 8}, {36, 3}, {41, 1}};
    for (const auto& [site, value] : sites) EXPECT_EQ(wordAt(module.code, site), value) << wide << " site " << site;
    EXPECT_EQ(module.code.size(), 47u);
    EXPECT_EQ(module.data, (Bytes{1, 2, 3, 4, 0, 0, 0, 0, 5, 0, 0, 0})) << wide;
    const std::string names("First\0Second\0", 13);
    Bytes symbols{2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 46, 0, 0, 0, 6, 0, 0, 0};
    symbols.insert(symbols.end(), names.begin(), names.begin() + 13);
    EXPECT_EQ(module.symbols, symbols) << wide;
  }
}

TEST(ObjectModule, WhatCannotBeExpressedIsAnErrorNamingTheRelocation) {
  struct Case {
    const char* source;
    const char* error;
  };
  const Case cases[] = {
      {"movabsq $Alpha, %rax",
       "cannot express R_X86_64_64 at .text+0x2 against 'Alpha': only 32-bit absolute and PC-relative references "
       "can be fixed up"},
      {"leaq Global(%rip), %rax\n.data\nGlobal: .long 1",
       "cannot express R_X86_64_PC32 at .text+0x3 against '.data': a PC-relative reference reaches only the code"},
      {".data\n.long Alpha", "at .data+0x0 against 'Alpha': fixup sites lie in the code part only"},
      {"call Alpha+4", "at .text+0x1 against 'Alpha': a call to a runtime function has the addend -4"},
      {"movl $Alpha+8, %eax", "R_X86_64_32 at .text+0x1 against 'Alpha': the address of a runtime function takes no addend"},
      {"movq Alpha@GOTPCREL(%rip), %rax", "cannot express R_X86_64_REX_GOTPCRELX at .text+0x3 against 'Alpha'"},
  };
  for (const Case& c : cases) {
    try {
      (void)vantor::tools::moduleFromObject(assemble(c.source, true));
      ADD_FAILURE() << c.source << ": no error";
    } catch (const std::runtime_error& error) {
      EXPECT_NE(std::string(error.what()).find(c.error), std::string::npos) << c.source << "\n" << error.what();
    }
  }
  EXPECT_THROW((void)vantor::tools::moduleFromObject(Bytes{'n', 'o', 't'}), std::runtime_error);
}

}  // namespace
