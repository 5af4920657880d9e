// Binary and text file streams (files/FileStreamApi.h): the cipher reads and
// writes one byte per call, the key loaders read lines. Every file lives in a
// temporary folder that is removed when the benchmark ends.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "files/FolderItem.h"
#include "text/StringHandle.h"

namespace {

constexpr std::int64_t kFileSize = std::int64_t{1} << 20;

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vantor-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create " + pattern);
    path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  rt::FolderItem item(const char* name) const {
    return rt::FolderItem::get(rt::String(path_ + "/" + name));
  }
  void write(const char* name, const std::string& bytes) const {
    std::ofstream(path_ + "/" + name, std::ios::binary) << bytes;
  }

 private:
  std::string path_;
};

std::string fileBytes() {
  std::string bytes(kFileSize, '\0');
  for (std::int64_t i = 0; i < kFileSize; ++i) bytes[i] = static_cast<char>(i * 7);
  return bytes;
}

void BM_BinaryStreamWriteByte(benchmark::State& state) {
  const TempFolder folder;
  rt::FolderItem item = folder.item("out.bin");
  for (auto _ : state) {
    rt::BinaryStream stream = item.createBinaryFile();
    if (!stream) {
      state.SkipWithError("cannot create the file");
      break;
    }
    for (std::int64_t i = 0; i < kFileSize; ++i) stream.writeByte(static_cast<std::uint8_t>(i));
    stream.close();
  }
  state.SetItemsProcessed(state.iterations() * kFileSize);
  state.SetBytesProcessed(state.iterations() * kFileSize);
}
BENCHMARK(BM_BinaryStreamWriteByte)->Unit(benchmark::kMillisecond);

void BM_BinaryStreamReadByte(benchmark::State& state) {
  const TempFolder folder;
  folder.write("in.bin", fileBytes());
  rt::FolderItem item = folder.item("in.bin");
  for (auto _ : state) {
    rt::BinaryStream stream = item.openAsBinaryFile(false);
    if (!stream) {
      state.SkipWithError("cannot open the file");
      break;
    }
    std::uint32_t sum = 0;
    for (std::int64_t i = 0; i < kFileSize; ++i) sum += stream.readByte();
    benchmark::DoNotOptimize(sum);
    stream.close();
  }
  state.SetItemsProcessed(state.iterations() * kFileSize);
  state.SetBytesProcessed(state.iterations() * kFileSize);
}
BENCHMARK(BM_BinaryStreamReadByte)->Unit(benchmark::kMillisecond);

// Reads a 1 MiB file of lines of the given length (a key file line is 768).
void BM_TextInputStreamReadLine(benchmark::State& state) {
  const auto lineLength = static_cast<std::size_t>(state.range(0));
  const std::int64_t lines = kFileSize / static_cast<std::int64_t>(lineLength + 1);
  std::string text;
  for (std::int64_t i = 0; i < lines; ++i) {
    text += std::string(lineLength, static_cast<char>('0' + i % 10)) + "\n";
  }
  const TempFolder folder;
  folder.write("in.txt", text);
  rt::FolderItem item = folder.item("in.txt");
  for (auto _ : state) {
    rt::TextInputStream stream = item.openAsTextFile();
    if (!stream) {
      state.SkipWithError("cannot open the file");
      break;
    }
    for (std::int64_t i = 0; i < lines; ++i) benchmark::DoNotOptimize(stream.readLine().get());
    stream.close();
  }
  state.SetItemsProcessed(state.iterations() * lines);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_TextInputStreamReadLine)->Arg(20)->Arg(768)->Unit(benchmark::kMillisecond);

}  // namespace
