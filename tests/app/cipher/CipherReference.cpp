#include "CipherReference.h"

#include "ModuleGlobals.h"
#include "Operations.h"
#include "numbers/NumberApi.h"
#include "text/StringFunctionsApi.h"

namespace vantor::cipher::test {
namespace {

using rt::String;

String chr(std::int32_t code) { return String::adopt(StringDBCSChr(code)); }

// The module globals for one run, holding the key as LoadComponent1 and
// LoadSystemData leave it.
class LoadedKey {
 public:
  LoadedKey(const std::array<String, kTableCount>& tables, const Key& key) {
    app::createModuleGlobals();
    app::ModuleGlobals& g = app::globals();
    for (int code = 0; code < 256; ++code) g.charTable = g.charTable + chr(code);
    for (std::int32_t t = 1; t <= kTableCount; ++t) {
      rt::setStringAt(g.cipherTable, t, tables[t - 1]);
      rt::setIntegerAt(g.rotateDir, t, key.direction[t - 1]);
      rt::setIntegerAt(g.periodA, t, key.periodA[t - 1]);
      rt::setIntegerAt(g.periodB, t, key.periodB[t - 1]);
      rt::setIntegerAt(g.rotateStep, t, key.step[t - 1]);
    }
  }
  ~LoadedKey() { app::releaseModuleGlobals(); }
  LoadedKey(const LoadedKey&) = delete;
  LoadedKey& operator=(const LoadedKey&) = delete;

  const String& alphabet() const { return app::globals().charTable; }
  String table(int t) const { return rt::stringAt(app::globals().cipherTable, t + 1); }
};

// k = k + 1, back to 1 after 20000.
int nextIndex(int k) { return k + 1 == kScheduleLength + 1 ? 1 : k + 1; }

}  // namespace

ReferenceCipher::ReferenceCipher(const KeyCodes& key) {
  for (int t = 0; t < kTableCount; ++t) {
    for (std::int32_t code : key.codes[t]) tables_[t] = tables_[t] + chr(code);
    key_.tables[t] = tables_[t].str();
  }
  key_.direction = key.direction;
  key_.periodA = key.periodA;
  key_.periodB = key.periodB;
  key_.step = key.step;
}

ReferenceCipher::ReferenceCipher(const Key& key) : key_(key) {
  for (int t = 0; t < kTableCount; ++t) tables_[t] = String::bytes(key.tables[t], kEncodingUnknown);
}

Key ReferenceCipher::engineKey() const { return key_; }

std::string ReferenceCipher::encrypt(std::string_view plaintext, const Schedule& schedule) const {
  const LoadedKey state(tables_, key_);
  std::string out;
  int k = 0;
  for (char byte : plaintext) {
    String x = chr(static_cast<unsigned char>(byte));
    for (int t = 0; t < kTableCount; ++t) {
      const std::int32_t p = StringInStrB(1, state.alphabet().get(), x.get());
      x = String::adopt(StringDBCSMid3(state.table(t).get(), p, 1));
    }
    app::rotateTables();
    out += static_cast<char>(StringDBCSAsc(x.get()));
    if (!schedule.on) continue;
    k = nextIndex(k);
    for (std::int32_t e = 1; e <= schedule.counts[k]; ++e) {
      const std::int32_t f = RuntimeCvtReal64ToSInt32(rnd() * 255 + 1);
      out += static_cast<char>(
          StringDBCSAsc(String::adopt(StringDBCSMid3(state.alphabet().get(), f, 1)).get()));
    }
  }
  return out;
}

std::string ReferenceCipher::decrypt(std::string_view ciphertext, const Schedule& schedule) const {
  const LoadedKey state(tables_, key_);
  std::string out;
  int k = 0;
  for (std::size_t i = 0; i < ciphertext.size(); ++i) {
    String x = chr(static_cast<unsigned char>(ciphertext[i]));
    for (int t = kTableCount - 1; t >= 0; --t) {
      const std::int32_t p = StringInStrB(1, state.table(t).get(), x.get());
      x = String::adopt(StringDBCSMid3(state.alphabet().get(), p, 1));
    }
    out += static_cast<char>(StringDBCSAsc(x.get()));
    app::rotateTables();
    if (!schedule.on) continue;
    k = nextIndex(k);
    for (std::int32_t e = 1; e <= schedule.counts[k]; ++e) ++i;
  }
  return out;
}

}  // namespace vantor::cipher::test
