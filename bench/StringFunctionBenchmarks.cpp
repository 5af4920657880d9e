// The string functions the key loaders and the cipher lean on
// (text/StringFunctionsApi.h): byte search, character positions in UTF-8
// text, number parsing and the byte rotation of a 256-byte table.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <string>

#include "text/Encodings.h"
#include "text/StringFunctionsApi.h"
#include "text/StringHandle.h"

namespace {

using rt::String;

// Digits as the key files hold them: every tenth byte starts a partial match.
std::string digits(std::int64_t count) {
  std::string text;
  for (std::int64_t i = 0; i < count; ++i) text += static_cast<char>('0' + i % 10);
  return text;
}

// Arguments: find length, source length. The find ends the source, so the
// whole source is scanned; finds of 5 bytes or more in a source with at least
// 81 candidate positions take Boyer-Moore, the others the plain scan.
void BM_InStrB(benchmark::State& state) {
  const std::int64_t findLength = state.range(0);
  const std::int64_t sourceLength = state.range(1);
  const std::string find = digits(findLength - 1) + "x";
  const String source(digits(sourceLength - findLength) + find);
  const String needle(find);
  for (auto _ : state) benchmark::DoNotOptimize(StringInStrB(1, source.get(), needle.get()));
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * sourceLength);
  state.SetLabel(findLength < 5 || sourceLength - findLength < 81 ? "plain scan" : "Boyer-Moore");
}
BENCHMARK(BM_InStrB)->ArgsProduct({{4, 5, 16}, {64, 4096, 65536}});

// UTF-8 text with every fourth character a two-byte letter.
String utf8Text(std::int64_t characters) {
  std::string text;
  for (std::int64_t i = 0; i < characters; ++i) text += i % 4 == 3 ? "\xC3\xA4" : "a";
  return String(text);
}

void BM_DBCSLenUtf8(benchmark::State& state) {
  const String text = utf8Text(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(StringDBCSLen(text.get()));
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetBytesProcessed(state.iterations() * text.length());
}
BENCHMARK(BM_DBCSLenUtf8)->Arg(16)->Arg(768)->Arg(65536);

// Mid of 7 characters at a character position of a 1024-character line: the
// walk to the position costs in proportion to it.
void BM_DBCSMid3Utf8(benchmark::State& state) {
  const String line = utf8Text(1024);
  const auto start = static_cast<std::int32_t>(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(String::adopt(StringDBCSMid3(line.get(), start, 7)));
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * 7);
}
BENCHMARK(BM_DBCSMid3Utf8)->Arg(1)->Arg(512)->Arg(1018);

// A 768-digit table line read as 256 three-digit fields by character
// position, as the key loader does (lines from a text file are UTF-8).
void BM_ParseTableLineByPosition(benchmark::State& state) {
  const String line(digits(768));
  for (auto _ : state) {
    for (std::int32_t field = 0; field < 256; ++field) {
      const String text = String::adopt(StringDBCSMid3(line.get(), field * 3 + 1, 3));
      benchmark::DoNotOptimize(StringVal(text.get()));
    }
  }
  state.SetItemsProcessed(state.iterations() * 256);
  state.SetBytesProcessed(state.iterations() * line.length());
}
BENCHMARK(BM_ParseTableLineByPosition);

void BM_StringVal(benchmark::State& state) {
  static const std::array<const char*, 4> inputs = {"7", "0001234", "3.7", "&hFF"};
  const char* input = inputs[static_cast<std::size_t>(state.range(0))];
  const String text(input);
  for (auto _ : state) benchmark::DoNotOptimize(StringVal(text.get()));
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * text.length());
  state.SetLabel(input);
}
BENCHMARK(BM_StringVal)->DenseRange(0, 3);

// One cipher table rotation: a new 256-byte string of bytes 2..256 then byte 1.
void BM_RotateByteTable(benchmark::State& state) {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
  String table = String::bytes(bytes, kEncodingUnknown);
  for (auto _ : state) {
    table = String::adopt(StringMid2(table.get(), 2)) + String::adopt(StringLeft(table.get(), 1));
  }
  benchmark::DoNotOptimize(table.get());
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * table.length());
}
BENCHMARK(BM_RotateByteTable);

}  // namespace
