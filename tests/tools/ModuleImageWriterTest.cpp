// The packer's images as the runtime's loader reads them back, embedded into
// a real executable.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "ModuleImageWriter.h"
#include "host/ModuleImage.h"
#include "host/ResourceTable.h"
#include "support/RuntimeFixture.h"
#include "support/TempFolder.h"

namespace vantor::tools {
namespace {

class ModuleImageWriterTest : public rt::test::RuntimeTest {
 protected:
  std::string path(const char* name) const { return folder_ / name; }

  rt::test::TempFolder folder_;
};

TEST_F(ModuleImageWriterTest, EmbeddedImageReadsBackPartForPart) {
  ImageParts parts;
  parts.data = {'D', 'A', 'T', 'A'};
  parts.symbols = {1, 2, 3};
  const Bytes library = {0x7F, 'E', 'L', 'F', 0, 1};
  parts.resources.push_back(
      {rt::host::kPluginResourceType, 0xFFFF, pluginResource("libX.so", library)});
  parts.resources.push_back({rt::host::fourCharacterCode("TEST"), 7, {'A', 'B', 'C'}});
  parts.options = versionOptionRecord();
  writeFile(path("image"), writeModuleImage(parts));
  embedImage(OBJCOPY, path("image"), "/proc/self/exe", path("exe"));

  const auto image = rt::host::readImageFromExecutable(path("exe").c_str());
  ASSERT_TRUE(image.has_value());
  EXPECT_TRUE(image->code.empty());
  EXPECT_EQ(image->data, parts.data);
  EXPECT_TRUE(image->imports.empty());
  EXPECT_EQ(image->symbols, parts.symbols);
  EXPECT_EQ(image->options, parts.options);

  rt::host::ResourceTable table;
  table.registerResources(image->resources, image->resourcesFileOffset);
  table.registerOptions(image->options);
  ASSERT_EQ(table.entries().size(), 3u);
  const rt::host::Resource& plugin = table.entries()[0];
  EXPECT_EQ(plugin.id, 0xFFFF);
  EXPECT_EQ(plugin.length, 1 + 7 + library.size());
  const Bytes fromFile = readFile(path("exe"));
  EXPECT_EQ(
      Bytes(fromFile.begin() + static_cast<std::ptrdiff_t>(plugin.fileOffset),
            fromFile.begin() + static_cast<std::ptrdiff_t>(plugin.fileOffset + plugin.length)),
      Bytes(plugin.bytes, plugin.bytes + plugin.length));
  EXPECT_EQ(table.entries()[2].type, rt::host::kVersionResourceType);
}

TEST_F(ModuleImageWriterTest, RecordsHaveTheirByteLayout) {
  const Bytes plugin = pluginResource("libZKShell.so", {9, 8});
  EXPECT_EQ(plugin.size(), 1u + 13 + 2);
  EXPECT_EQ(plugin[0], 13);
  EXPECT_EQ(std::string(plugin.begin() + 1, plugin.begin() + 14), "libZKShell.so");
  EXPECT_EQ(plugin.back(), 8);

  const Bytes version = versionOptionRecord();
  ASSERT_EQ(version.size(), 28u);
  EXPECT_EQ(version[0], 2);
  EXPECT_EQ(version[1], 1);
  EXPECT_EQ(std::count(version.begin() + 2, version.end(), 0), 26);

  ImageParts parts;
  parts.resources.push_back({rt::host::kPluginResourceType, 0xFFFF, {}});
  const Bytes image = writeModuleImage(parts);
  ASSERT_EQ(image.size(), 6u * 4 + 14);
  EXPECT_EQ(std::string(image.begin() + 20, image.begin() + 24), "lPKZ");
}

TEST_F(ModuleImageWriterTest, VantorCarriesItsModuleImage) {
  const auto image = rt::host::readImageFromExecutable(VANTOR_EXECUTABLE);
  ASSERT_TRUE(image.has_value());
  EXPECT_TRUE(image->code.empty());
  EXPECT_EQ(image->options, versionOptionRecord());
  rt::host::ResourceTable table;
  table.registerResources(image->resources, image->resourcesFileOffset);
  for (const rt::host::Resource& resource : table.entries()) {
    EXPECT_EQ(resource.type, rt::host::kPluginResourceType);
    EXPECT_EQ(resource.id, 0xFFFF);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(resource.bytes), 14), "\x0dlibZKShell.so");
  }
}

}  // namespace
}  // namespace vantor::tools
