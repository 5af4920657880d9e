#include "files/EncodingConversion.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <iconv.h>
#include <string>
#include <utility>

#include "text/Encodings.h"
#include "text/StringApi.h"
#include "text/StringStorage.h"

namespace rt::files {
namespace {

constexpr std::array<std::pair<std::uint32_t, const char*>, 54> kConverterNames{{
    {0, "MAC"},           {7, "MACCYRILLIC"},   {29, "MACUK"},       {256, "UTF16LE"},
    {513, "ISO_8859-1"},  {514, "ISO_8859-2"},  {515, "ISO_8859-3"}, {516, "ISO_8859-4"},
    {517, "ISO_8859-5"},  {518, "ISO_8859-6"},  {519, "ISO_8859-7"}, {520, "ISO_8859-8"},
    {521, "ISO_8859-9"},  {527, "ISO_8859-15:1998"}, {1024, "CP437"}, {1029, "CP737"},
    {1030, "CP775"},      {1040, "CP850"},      {1041, "CP851"},     {1042, "CP852"},
    {1043, "CP855"},      {1044, "CP857"},      {1045, "CP860"},     {1046, "CP861"},
    {1047, "CP862"},      {1048, "CP863"},      {1049, "CP864"},     {1050, "CP865"},
    {1051, "CP866"},      {1052, "CP869"},      {1053, "CP874"},     {1056, "CP932"},
    {1057, "CP936"},      {1058, "CP949"},      {1059, "CP950"},     {1280, "CP1252"},
    {1281, "CP1250"},     {1282, "CP1251"},     {1283, "CP1253"},    {1284, "CP1254"},
    {1285, "CP1255"},     {1286, "CP1256"},     {1287, "CP1257"},    {1288, "CP1258"},
    {1296, "CP1361"},     {1536, "US-ASCII"},   {1585, "CP936"},     {2080, "ISO-2022-JP"},
    {2336, "EUCJP"},      {2561, "CP932"},      {3073, "CP037"},     {3074, "CP037"},
    {kEncodingUTF8, "UTF8"}, {kEncodingUTF32, "UTF32"},
}};

const char* converterName(std::uint32_t encoding) {
  auto found = std::find_if(kConverterNames.begin(), kConverterNames.end(),
                            [encoding](const auto& entry) { return entry.first == encoding; });
  return found == kConverterNames.end() ? nullptr : found->second;
}

RTString shared(RTString s) {
  RuntimeLockString(s);
  return s;
}

// Bytes the source encoding cannot hold become one "?" each; a full output
// buffer abandons the conversion.
RTString transcode(RTString s, std::uint32_t target) {
  const char* from = converterName(text::encodingOf(s));
  const char* to = converterName(target);
  if (from == nullptr || to == nullptr) return shared(s);
  iconv_t converter = iconv_open(to, from);
  if (converter == reinterpret_cast<iconv_t>(-1)) return shared(s);

  std::string output(4 * static_cast<std::size_t>(s->length) + 4, '\0');
  char* in = s->text;
  std::size_t inLeft = s->length;
  char* out = output.data();
  std::size_t outLeft = output.size();
  bool overflow = false;
  while (inLeft > 0) {
    if (iconv(converter, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1)) break;
    if ((errno != EILSEQ && errno != EINVAL) || outLeft == 0) {
      overflow = true;
      break;
    }
    ++in;
    --inLeft;
    *out++ = '?';
    --outLeft;
  }
  iconv_close(converter);
  if (overflow) return shared(s);
  return text::makeString(output.data(), output.size() - outLeft, target);
}

// Wide encodings store ASCII letters with zero bytes, so only byte encodings
// may be relabelled.
bool relabels(RTString s) {
  const std::uint32_t source = text::encodingOf(s);
  if (source == kEncodingASCII) return true;
  if (EncodingIsUTF16Family(source) || source == kEncodingUTF32) return false;
  const auto bytes = text::bytes(s);
  return std::all_of(bytes.begin(), bytes.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

RTString convertEncoding(RTString s, std::uint32_t target) {
  const std::uint32_t source = text::encodingOf(s);
  if (target == kEncodingUnknown || s == nullptr || source == kEncodingUnknown ||
      source == target) {
    return shared(s);
  }
  if (!EncodingIsUTF16Family(target) && relabels(s)) {
    return text::makeString(text::bytes(s), target);
  }
  return transcode(s, target);
}

}  // namespace rt::files
