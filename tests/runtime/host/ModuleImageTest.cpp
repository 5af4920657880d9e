// Reading module images: from a ".zk" section of crafted ELF files (in
// process) and from the fallback files and a packed probe (as processes).
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "host/ModuleImage.h"
#include "host/ResourceTable.h"
#include "support/ProcessRunner.h"
#include "support/RuntimeFixture.h"
#include "support/TempFolder.h"

namespace rt::test {
namespace {

using host::Bytes;
namespace fs = std::filesystem;

template <class Value>
void put(Bytes& bytes, std::size_t at, Value value) {
  if (bytes.size() < at + sizeof value) bytes.resize(at + sizeof value);
  std::memcpy(bytes.data() + at, &value, sizeof value);
}

void append(Bytes& bytes, const Bytes& more) {
  bytes.insert(bytes.end(), more.begin(), more.end());
}

Bytes part(const std::string& text) {
  Bytes bytes;
  put(bytes, 0, static_cast<std::uint32_t>(text.size()));
  append(bytes, Bytes(text.begin(), text.end()));
  return bytes;
}

// An offset or size: eight bytes in ELF64, four in ELF32.
void putWord(Bytes& bytes, std::size_t at, std::size_t value, bool elf64) {
  if (elf64) {
    put(bytes, at, std::uint64_t{value});
  } else {
    put(bytes, at, static_cast<std::uint32_t>(value));
  }
}

// Header, section names, three section headers (null, names, sectionName),
// then the section's contents at the very end of the file.
Bytes craftElf(bool elf64, const Bytes& contents, const char* sectionName = ".zk") {
  const std::size_t headerSize = elf64 ? 64 : 52, entrySize = elf64 ? 64 : 40;
  std::string names = std::string("\0.shstrtab\0", 11) + sectionName + '\0';
  Bytes elf(headerSize);
  std::memcpy(elf.data(), "\177ELF", 4);
  elf[4] = elf64 ? 2 : 1;
  elf[5] = 1;
  const std::size_t namesAt = headerSize, headersAt = namesAt + 64;
  const std::size_t contentsAt = headersAt + 3 * entrySize;
  append(elf, Bytes(names.begin(), names.end()));
  elf.resize(contentsAt);
  auto sectionHeader = [&](int index, std::uint32_t name, std::size_t offset, std::size_t size) {
    const std::size_t at = headersAt + index * entrySize;
    put(elf, at, name);
    putWord(elf, at + (elf64 ? 0x18 : 0x10), offset, elf64);
    putWord(elf, at + (elf64 ? 0x20 : 0x14), size, elf64);
  };
  sectionHeader(1, 1, namesAt, names.size());
  sectionHeader(2, 11, contentsAt, contents.size());
  putWord(elf, elf64 ? 0x28 : 0x20, headersAt, elf64);
  const std::size_t entrySizeField = elf64 ? 0x3A : 0x2E;  // then the count and the names' index
  put(elf, entrySizeField, std::uint16_t(entrySize));
  put(elf, entrySizeField + 2, std::uint16_t{3});
  put(elf, entrySizeField + 4, std::uint16_t{1});
  append(elf, contents);
  return elf;
}

Bytes resourceRecord(const char (&type)[5], std::uint16_t id, const std::string& text) {
  Bytes record;
  put(record, 0, host::fourCharacterCode(type));
  put(record, 4, id);
  put(record, 6, std::uint32_t{0});
  put(record, 10, static_cast<std::uint32_t>(text.size()));
  append(record, Bytes(text.begin(), text.end()));
  return record;
}

Bytes versionRecord() {
  Bytes record(1 + 27, 0);
  record[0] = 2;
  record[1] = 1;
  return record;
}

struct SampleImage {
  Bytes section;
  Bytes resources = resourceRecord("TEST", 7, "ABC");
  Bytes options = versionRecord();
  SampleImage() {
    for (const char* text : {"", "DATA", "", "SYM"}) append(section, part(text));
    put(section, section.size(), static_cast<std::uint32_t>(resources.size()));
    append(section, resources);
    put(section, section.size(), static_cast<std::uint32_t>(options.size()));
    append(section, options);
  }
};

class ModuleImageTest : public RuntimeTest {
 protected:
  std::string writeFile(const std::string& name, const Bytes& bytes) {
    const std::string path = folder_ / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  TempFolder folder_;
};

TEST_F(ModuleImageTest, ReadsTheSixPartsOfElf64AndElf32Sections) {
  const SampleImage sample;
  for (bool elf64 : {true, false}) {
    const Bytes elf = craftElf(elf64, sample.section);
    const auto image = host::readImageFromExecutable(writeFile("exe", elf).c_str());
    ASSERT_TRUE(image.has_value()) << elf64;
    EXPECT_TRUE(image->code.empty());
    EXPECT_EQ(image->data, Bytes({'D', 'A', 'T', 'A'}));
    EXPECT_EQ(image->symbols, Bytes({'S', 'Y', 'M'}));
    EXPECT_EQ(image->resources, sample.resources);
    EXPECT_EQ(image->options, sample.options);
    const std::size_t resourcesAt =
        elf.size() - sample.options.size() - 4 - sample.resources.size();
    EXPECT_EQ(image->resourcesFileOffset, resourcesAt);
  }
}

TEST_F(ModuleImageTest, TruncatedSectionIsReportedAndNeverReadPastTheEnd) {
  const SampleImage sample;
  const Bytes elf = craftElf(true, sample.section);
  const std::size_t sectionAt = elf.size() - sample.section.size();
  for (std::size_t cut = sectionAt; cut < elf.size(); cut += 3) {
    const std::string path = writeFile("cut", Bytes(elf.begin(), elf.begin() + cut));
    testing::internal::CaptureStdout();
    const auto image = host::readImageFromExecutable(path.c_str());
    const std::string report = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(image.has_value()) << cut;
    EXPECT_NE(report.find("Truncated module image"), std::string::npos) << cut;
    EXPECT_TRUE(image->options.empty()) << cut;
    EXPECT_TRUE(image->resources.empty() || image->resources == sample.resources) << cut;
  }
}

TEST_F(ModuleImageTest, MalformedExecutablesAreReportedAndGiveNoImage) {
  const SampleImage sample;
  const Bytes good = craftElf(true, sample.section);
  struct Case {
    const char* name;
    std::size_t at;
    std::uint64_t value;
    unsigned width;
  };
  const Case cases[] = {
      {"section headers beyond the end", 0x28, 1u << 30, 8},
      {"name table index out of range", 0x3E, 9, 2},
      {"header entries too small", 0x3A, 8, 2},
      {"unknown class", 4, 7, 1},
  };
  for (const Case& c : cases) {
    Bytes bad = good;
    std::memcpy(bad.data() + c.at, &c.value, c.width);
    testing::internal::CaptureStdout();
    const auto image = host::readImageFromExecutable(writeFile("bad", bad).c_str());
    const std::string report = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(image.has_value()) << c.name;
    EXPECT_NE(report.find("Malformed executable"), std::string::npos) << c.name;
  }
}

TEST_F(ModuleImageTest, MissingSectionOrFileGivesNoImage) {
  const SampleImage sample;
  EXPECT_FALSE(host::readImageFromExecutable(
      writeFile("other", craftElf(true, sample.section, ".zkx")).c_str()));
  // An executable without section headers is well formed: it has no section.
  for (bool elf64 : {true, false}) {
    Bytes bare = craftElf(elf64, sample.section);
    putWord(bare, elf64 ? 0x28 : 0x20, 0, elf64);
    put(bare, elf64 ? 0x3C : 0x30, std::uint16_t{0});
    put(bare, elf64 ? 0x3E : 0x32, std::uint16_t{0});
    testing::internal::CaptureStdout();
    EXPECT_FALSE(host::readImageFromExecutable(writeFile("bare", bare).c_str())) << elf64;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << elf64;
  }
  testing::internal::CaptureStdout();
  EXPECT_FALSE(host::readImageFromExecutable("/nonexistent/exe"));
  EXPECT_NE(
      testing::internal::GetCapturedStdout().find("loaderX86: 490\nFailure Condition: exeFile\n"
                                                  "Can't open executable /nonexistent/exe"),
      std::string::npos);
}

TEST_F(ModuleImageTest, ResourceRecordsAreRegisteredWithTheirFileOffsets) {
  Bytes resources = resourceRecord("ZKPl", 0xFFFF, "xy");
  append(resources, resourceRecord("TEST", 7, "ABC"));
  host::ResourceTable table;
  table.registerResources(resources, 1000);
  table.registerOptions(versionRecord());
  ASSERT_EQ(table.entries().size(), 3u);
  EXPECT_EQ(table.entries()[0].type, host::kPluginResourceType);
  EXPECT_EQ(std::memcmp(resources.data(), "lPKZ", 4), 0);
  EXPECT_EQ(table.entries()[0].fileOffset, 1014u);
  EXPECT_EQ(table.entries()[1].id, 7);
  EXPECT_EQ(table.entries()[1].fileOffset, 1000u + 16 + 14);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(table.entries()[1].bytes), 3), "ABC");
  EXPECT_EQ(table.entries()[2].type, host::kVersionResourceType);
  EXPECT_EQ(table.entries()[2].length, 27u);
}

TEST_F(ModuleImageTest, MalformedRecordsAreReportedAndEndTheWalk) {
  const Bytes good = resourceRecord("TEST", 1, "ABC");
  struct Case {
    const char* name;
    Bytes resources;
    Bytes options;
    std::size_t registered;
    const char* report;
  };
  Bytes longRecord = good;
  put(longRecord, 10, std::uint32_t{4000});
  Bytes secondCut = good;
  append(secondCut, Bytes(good.begin(), good.end() - 1));
  Bytes shortVersion{1, 1, 2, 0, 0, 0, 0, 0, 0, 0, 0};  // a kind 1 record, then the version
  append(shortVersion, versionRecord());
  shortVersion.pop_back();
  const Case cases[] = {
      {"cut header", Bytes(good.begin(), good.begin() + 9), {}, 0, "a resource header"},
      {"length past the end", longRecord, {}, 0, "a resource at offset 0"},
      {"second record cut", secondCut, {}, 1, "a resource at offset 17"},
      {"unknown option kind", {}, Bytes{9, 1, 0, 0}, 0, "loaderX86: 431\nFailure Condition: 0"},
      {"kind 1 skipped, short version", {}, shortVersion, 0, "a version record"},
  };
  for (const Case& c : cases) {
    host::ResourceTable table;
    testing::internal::CaptureStdout();
    table.registerResources(c.resources, 0);
    table.registerOptions(c.options);
    const std::string report = testing::internal::GetCapturedStdout();
    EXPECT_EQ(table.entries().size(), c.registered) << c.name;
    EXPECT_NE(report.find(c.report), std::string::npos) << c.name << "\n" << report;
  }
}

ProcessResult showResources(const std::string& program, const std::string& workingDirectory) {
  ProcessLaunch launch;
  launch.program = program;
  launch.arguments = {program};
  launch.workingDirectory = workingDirectory;
  launch.environment = {{"VANTOR_PROBE", "resources"}};
  return runProcess(launch);
}

const std::string kVersionLine = "resource 56455253 0 27 0 01" + std::string(52, '0') + "\n";

// A folder reports a huge size on some file systems; it must not be read as a
// part. The other parts' files are missing.
TEST_F(ModuleImageTest, WithoutSectionTheCurrentDirectorysFilesAreLoadedAndAFolderIsAnEmptyPart) {
  fs::create_directory(folder_ / "data.dat");
  writeFile("rsrc.dat", resourceRecord("TEST", 7, "ABC"));
  writeFile("options.dat", versionRecord());
  const ProcessResult result = showResources(HOST_PROBE, folder_.path().string());
  EXPECT_TRUE(result.exited);
  EXPECT_EQ(result.out,
            "NewDocument event\nresource 54455354 7 3 14 414243\n" + kVersionLine + "exit=5\n");
  EXPECT_EQ(result.err, "");
}

TEST_F(ModuleImageTest, PackedExecutableCarriesItsResourcesInTheSection) {
  const ProcessResult result = showResources(HOST_PROBE_RESOURCES, folder_.path().string());
  const std::string prefix = "NewDocument event\nresource 54455354 7 3 ";
  ASSERT_EQ(result.out.rfind(prefix, 0), 0u) << result.out;
  const std::uint64_t offset = std::stoull(result.out.substr(prefix.size()));
  std::ifstream exe(HOST_PROBE_RESOURCES, std::ios::binary);
  exe.seekg(static_cast<std::streamoff>(offset));
  char bytes[3];
  exe.read(bytes, 3);
  EXPECT_EQ(std::string(bytes, 3), "ABC");
  EXPECT_NE(result.out.find(" 414243\n" + kVersionLine + "exit=5\n"), std::string::npos);
}

}  // namespace
}  // namespace rt::test
