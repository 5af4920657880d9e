// Case-insensitive comparison and concatenation (text/StringCompare.h), the
// two services behind every string expression: strings of one encoding, the
// relabelling of ASCII text to meet UTF-8, and the one-entry conversion cache
// that lets one converted string be compared with a chain of command words.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/EncodingConversion.h"
#include "text/Encodings.h"
#include "text/StringHandle.h"

namespace {

using rt::String;

std::string repeated(std::string_view unit, std::int64_t count) {
  std::string text;
  for (std::int64_t i = 0; i < count; ++i) text += unit;
  return text;
}

// Text of one encoding whose operands differ only in letter case, so the
// comparison runs to the end.
void compareSameEncoding(benchmark::State& state, std::string_view lower, std::string_view upper,
                         std::uint32_t encoding) {
  const String a = String::bytes(repeated(lower, state.range(0)), encoding);
  const String b = String::bytes(repeated(upper, state.range(0)), encoding);
  for (auto _ : state) benchmark::DoNotOptimize(compare(a, b));
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * a.length());
}

void BM_CompareAsciiIgnoringCase(benchmark::State& state) {
  compareSameEncoding(state, "q", "Q", kEncodingASCII);
}
BENCHMARK(BM_CompareAsciiIgnoringCase)->Arg(4)->Arg(64)->Arg(1024);

void BM_CompareUtf8AsciiLettersIgnoringCase(benchmark::State& state) {
  compareSameEncoding(state, "q", "Q", kEncodingUTF8);
}
BENCHMARK(BM_CompareUtf8AsciiLettersIgnoringCase)->Arg(4)->Arg(64)->Arg(1024);

// Two-byte letters take the decoding and case-table path.
void BM_CompareUtf8NonAsciiIgnoringCase(benchmark::State& state) {
  compareSameEncoding(state, "\xC3\xA4", "\xC3\x84", kEncodingUTF8);
}
BENCHMARK(BM_CompareUtf8NonAsciiIgnoringCase)->Arg(4)->Arg(64)->Arg(1024);

// A typed command (tagged ASCII) against a UTF-8 constant: relabelling only.
void BM_CompareAsciiWithUtf8(benchmark::State& state) {
  const String typed = String::bytes(repeated("q", state.range(0)), kEncodingASCII);
  const String constant = String(repeated("Q", state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(compare(typed, constant));
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * typed.length());
}
BENCHMARK(BM_CompareAsciiWithUtf8)->Arg(4)->Arg(64)->Arg(1024);

// The conversion that makes the word fills the cache; it is emptied so that
// each benchmark starts from an empty cache.
String utf16(const char* utf8) {
  String converted = String::adopt(rt::text::convertEncoding(String(utf8).get(), kEncodingUTF16));
  rt::text::clearConversionCache();
  return converted;
}

// One UTF-16 word against a chain of UTF-8 command words: after the first
// comparison its UTF-8 form comes from the conversion cache.
void BM_CompareConvertedChainCacheHit(benchmark::State& state) {
  const std::array<String, 8> commands = {"enc",     "dec",        "createsys", "delsys",
                                          "copysys", "restoresys", "showsys",   "help"};
  const String word = utf16("HELP");
  for (auto _ : state) {
    for (const String& command : commands) benchmark::DoNotOptimize(compare(word, command));
  }
  state.SetItemsProcessed(state.iterations() * commands.size());
  rt::text::clearConversionCache();
}
BENCHMARK(BM_CompareConvertedChainCacheHit);

// Two UTF-16 words in turn evict each other from the one-entry cache, so
// every comparison transcodes: the cost that the cache saves.
void BM_CompareConvertedCacheMiss(benchmark::State& state) {
  const std::array<String, 2> words = {utf16("HELP"), utf16("QUIT")};
  const String command = "help";
  for (auto _ : state) {
    for (const String& word : words) benchmark::DoNotOptimize(compare(word, command));
  }
  state.SetItemsProcessed(state.iterations() * words.size());
  rt::text::clearConversionCache();
}
BENCHMARK(BM_CompareConvertedCacheMiss);

void concatenate(benchmark::State& state, std::uint32_t leftEncoding) {
  const String left = String::bytes(repeated("a", state.range(0)), leftEncoding);
  const String right = String(repeated("b", state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(left + right);
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * (left.length() + right.length()));
}

void BM_ConcatSameEncoding(benchmark::State& state) { concatenate(state, kEncodingUTF8); }
BENCHMARK(BM_ConcatSameEncoding)->Arg(4)->Arg(128)->Arg(4096);

void BM_ConcatAsciiWithUtf8(benchmark::State& state) { concatenate(state, kEncodingASCII); }
BENCHMARK(BM_ConcatAsciiWithUtf8)->Arg(4)->Arg(128)->Arg(4096);

}  // namespace
