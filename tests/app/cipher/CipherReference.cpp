#include "CipherReference.h"

#include "numbers/NumberApi.h"
#include "text/StringFunctionsApi.h"

namespace vantor::cipher::test {
namespace {

using rt::String;

String chr(std::int32_t code) { return String::adopt(StringDBCSChr(code)); }

// Integer arithmetic of the compiled code: it wraps.
std::int32_t wrapped(std::int64_t value) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// The loaded key's tables and rotation globals during one run.
class RunState {
 public:
  RunState(const std::array<String, kTableCount>& tables, const Key& settings)
      : tables_(tables), direction_(settings.direction), settings_(settings) {}

  const String& table(int t) const { return tables_[t]; }

  void rotateTables() {
    for (int t = 0; t < kTableCount; ++t) {
      stepCount_[t] = wrapped(std::int64_t{stepCount_[t]} + 1);
      const std::int32_t s = settings_.step[t];
      const std::int32_t complement = wrapped(256 - std::int64_t{s});
      const String& table = tables_[t];
      if (direction_[t] > 0) {
        tables_[t] = String::adopt(StringDBCSRight(table.get(), complement)) +
                     String::adopt(StringDBCSLeft(table.get(), s));
      } else {
        tables_[t] = String::adopt(StringDBCSRight(table.get(), s)) +
                     String::adopt(StringDBCSLeft(table.get(), complement));
      }
      const std::int32_t limit = phase_[t] == 0 ? settings_.periodA[t] : settings_.periodB[t];
      if (!(stepCount_[t] < limit)) {
        phase_[t] = phase_[t] + 1 > 1 ? 0 : phase_[t] + 1;
        direction_[t] = wrapped(std::int64_t{direction_[t]} + 1);
        if (direction_[t] > 1) direction_[t] = 0;
        stepCount_[t] = 0;
      }
    }
  }

 private:
  std::array<String, kTableCount> tables_;
  std::array<std::int32_t, kTableCount> direction_;
  std::array<std::int32_t, kTableCount> stepCount_{};
  std::array<std::int32_t, kTableCount> phase_{};
  const Key& settings_;
};

// k = k + 1, back to 1 after 20000.
int nextIndex(int k) { return k + 1 == kScheduleLength + 1 ? 1 : k + 1; }

}  // namespace

ReferenceCipher::ReferenceCipher(const KeyCodes& key) {
  for (int code = 0; code < 256; ++code) alphabet_ = alphabet_ + chr(code);
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
  for (int code = 0; code < 256; ++code) alphabet_ = alphabet_ + chr(code);
  for (int t = 0; t < kTableCount; ++t) tables_[t] = String::bytes(key.tables[t], kEncodingUnknown);
}

Key ReferenceCipher::engineKey() const { return key_; }

std::string ReferenceCipher::encrypt(std::string_view plaintext, const Schedule& schedule) const {
  RunState state(tables_, key_);
  std::string out;
  int k = 0;
  for (char byte : plaintext) {
    String x = chr(static_cast<unsigned char>(byte));
    for (int t = 0; t < kTableCount; ++t) {
      const std::int32_t p = StringInStrB(1, alphabet_.get(), x.get());
      x = String::adopt(StringDBCSMid3(state.table(t).get(), p, 1));
    }
    state.rotateTables();
    out += static_cast<char>(StringDBCSAsc(x.get()));
    if (!schedule.on) continue;
    k = nextIndex(k);
    for (std::int32_t e = 1; e <= schedule.counts[k]; ++e) {
      const std::int32_t f = RuntimeCvtReal64ToSInt32(rnd() * 255 + 1);
      out += static_cast<char>(StringDBCSAsc(String::adopt(StringDBCSMid3(alphabet_.get(), f, 1)).get()));
    }
  }
  return out;
}

std::string ReferenceCipher::decrypt(std::string_view ciphertext, const Schedule& schedule) const {
  RunState state(tables_, key_);
  std::string out;
  int k = 0;
  for (std::size_t i = 0; i < ciphertext.size(); ++i) {
    String x = chr(static_cast<unsigned char>(ciphertext[i]));
    for (int t = kTableCount - 1; t >= 0; --t) {
      const std::int32_t p = StringInStrB(1, state.table(t).get(), x.get());
      x = String::adopt(StringDBCSMid3(alphabet_.get(), p, 1));
    }
    out += static_cast<char>(StringDBCSAsc(x.get()));
    state.rotateTables();
    if (!schedule.on) continue;
    k = nextIndex(k);
    for (std::int32_t e = 1; e <= schedule.counts[k]; ++e) ++i;
  }
  return out;
}

}  // namespace vantor::cipher::test
