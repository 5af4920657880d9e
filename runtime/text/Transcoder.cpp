#include "text/Transcoder.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <string_view>

#include "text/Encodings.h"
#include "text/StringApi.h"
#include "text/StringStorage.h"
#include "text/TextForm.h"

namespace rt::text {
namespace {

struct NamedEncoding {
  std::uint32_t encoding;
  const char* name;
};

// clang-format off
constexpr NamedEncoding kNames[] = {
    {0, "MAC"},            {7, "MACCYRILLIC"},  {29, "MACUK"},       {256, "UTF16LE"},
    {513, "ISO_8859-1"},   {514, "ISO_8859-2"}, {515, "ISO_8859-3"}, {516, "ISO_8859-4"},
    {517, "ISO_8859-5"},   {518, "ISO_8859-6"}, {519, "ISO_8859-7"}, {520, "ISO_8859-8"},
    {521, "ISO_8859-9"},   {527, "ISO_8859-15:1998"},
    {1024, "CP437"},       {1029, "CP737"},     {1030, "CP775"},     {1040, "CP850"},
    {1041, "CP851"},       {1042, "CP852"},     {1043, "CP855"},     {1044, "CP857"},
    {1045, "CP860"},       {1046, "CP861"},     {1047, "CP862"},     {1048, "CP863"},
    {1049, "CP864"},       {1050, "CP865"},     {1051, "CP866"},     {1052, "CP869"},
    {1053, "CP874"},       {1056, "CP932"},     {1057, "CP936"},     {1058, "CP949"},
    {1059, "CP950"},       {1280, "CP1252"},    {1281, "CP1250"},    {1282, "CP1251"},
    {1283, "CP1253"},      {1284, "CP1254"},    {1285, "CP1255"},    {1286, "CP1256"},
    {1287, "CP1257"},      {1288, "CP1258"},    {1296, "CP1361"},    {1536, "US-ASCII"},
    {1585, "CP936"},       {kEncodingISO2022JP, "ISO-2022-JP"},      {2336, "EUCJP"},
    {2561, "CP932"},       {kEncodingEBCDIC, "CP037"},  {kEncodingEBCDICLatin1, "CP037"},
    {kEncodingUTF8, "UTF8"},                    {kEncodingUTF32, "UTF32"},
};
// clang-format on

constexpr const char* kSystemEncodingName = "UTF8";

// A "?" in the target encoding: a whole little-endian unit for wide text, the
// EBCDIC question mark for the EBCDIC code pages, else the ASCII byte.
std::string_view substitution(std::uint32_t to) {
  static constexpr char kWideQuestionMark[4] = {'?', 0, 0, 0};
  switch (formOf(to)) {
    case TextForm::Utf16:
      return {kWideQuestionMark, 2};
    case TextForm::Utf32:
      return {kWideQuestionMark, 4};
    default:
      return isEbcdic(to) ? "\x6F" : "?";
  }
}

// The iconv "UTF32" converter starts its output with a byte order mark (and
// writes it after any "?" put out before its first character). The runtime's
// UTF-32 text has none, and is little-endian like its "UTF16LE" text.
const char* targetName(std::uint32_t to) {
  return to == kEncodingUTF32 ? "UTF-32LE" : iconvName(to);
}

class Converter {
 public:
  Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~Converter() {
    if (isOpen()) iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool isOpen() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t handle() const { return handle_; }

 private:
  iconv_t handle_;
};

RTString unchanged(RTString s) {
  RuntimeLockString(s);
  return s;
}

}  // namespace

const char* iconvName(std::uint32_t encoding) {
  if (encoding == kEncodingUnknown) return kSystemEncodingName;
  const auto* found =
      std::find_if(std::begin(kNames), std::end(kNames),
                   [encoding](const NamedEncoding& n) { return n.encoding == encoding; });
  return found == std::end(kNames) ? nullptr : found->name;
}

RTString transcode(RTString s, std::uint32_t from, std::uint32_t to) {
  const char* fromName = iconvName(from);
  const char* toName = targetName(to);
  if (s == nullptr || fromName == nullptr || toName == nullptr) return unchanged(s);
  Converter converter(toName, fromName);
  if (!converter.isOpen()) return unchanged(s);

  std::string output(4 * static_cast<std::size_t>(s->length) + 4, '\0');
  char* in = s->text;
  std::size_t inLeft = s->length;
  char* out = output.data();
  std::size_t outLeft = output.size();
  const std::size_t skip = unitSize(formOf(from));
  const std::string_view question = substitution(to);
  // Input that does not fit is skipped one unit at a time, each unit giving one "?".
  while (iconv(converter.handle(), &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) {
    if ((errno != EILSEQ && errno != EINVAL) || outLeft < question.size()) return unchanged(s);
    const std::size_t skipped = std::min(skip, inLeft);
    in += skipped;
    inLeft -= skipped;
    out = std::copy(question.begin(), question.end(), out);
    outLeft -= question.size();
  }
  // Stateful encodings return to their initial state at the end of the text.
  if (iconv(converter.handle(), nullptr, nullptr, &out, &outLeft) == static_cast<std::size_t>(-1)) {
    return unchanged(s);
  }
  output.resize(output.size() - outLeft);
  return makeString(output, to);
}

}  // namespace rt::text
