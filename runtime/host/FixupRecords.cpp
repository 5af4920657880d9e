#include "host/FixupRecords.h"

#include <cstring>
#include <optional>

#include "host/FailureReport.h"

namespace rt::host {
namespace {

constexpr const char* kSourceFile = "../Common/loaderX86";

// Reads fields of one record; every read is checked against the stream's end.
class RecordReader {
 public:
  explicit RecordReader(std::span<const std::uint8_t> stream) : stream_(stream) {}

  bool atEnd() const { return position_ >= stream_.size(); }
  std::size_t position() const { return position_; }

  std::optional<std::uint8_t> byte() {
    if (stream_.size() - position_ < 1) return std::nullopt;
    return stream_[position_++];
  }

  std::optional<std::uint32_t> word() {
    if (stream_.size() - position_ < sizeof(std::uint32_t)) return std::nullopt;
    std::uint32_t value;
    std::memcpy(&value, stream_.data() + position_, sizeof value);
    position_ += sizeof value;
    return value;
  }

  // A length byte, that many bytes and a zero byte. The text ends at its first
  // zero, as the name comparison sees it.
  std::optional<std::string> name() {
    const auto length = byte();
    if (!length || stream_.size() - position_ < std::size_t{*length} + 1) return std::nullopt;
    const char* text = reinterpret_cast<const char*>(stream_.data() + position_);
    if (stream_[position_ + *length] != 0) {
      unterminated_ = true;
      return std::nullopt;
    }
    position_ += std::size_t{*length} + 1;
    return std::string(text, strnlen(text, *length));
  }

  bool unterminated() const { return unterminated_; }

 private:
  std::span<const std::uint8_t> stream_;
  std::size_t position_ = 0;
  bool unterminated_ = false;
};

std::optional<FixupRecord> readRecord(std::uint8_t kind, RecordReader& reader) {
  FixupRecord record{kind, 0, 0, {}, {}};
  std::optional<std::uint32_t> site;
  switch (kind) {
    case kFixupRuntimeCall: {
      const auto mode = reader.byte();
      if (!mode) return std::nullopt;
      record.mode = *mode;
      site = reader.word();
      if (!site) return std::nullopt;
      auto name = reader.name();
      if (!name) return std::nullopt;
      record.name = std::move(*name);
      break;
    }
    case kFixupLibraryCall: {
      site = reader.word();
      if (!site) return std::nullopt;
      auto function = reader.name();
      if (!function) return std::nullopt;
      auto library = reader.name();
      if (!library) return std::nullopt;
      record.name = std::move(*function);
      record.library = std::move(*library);
      break;
    }
    default:
      site = reader.word();
      if (!site) return std::nullopt;
  }
  record.site = *site;
  return record;
}

bool hasFields(std::uint8_t kind) {
  return kind >= kFixupRuntimeCall && kind <= kFixupStringConstant;
}

}  // namespace

std::vector<FixupRecord> parseFixupRecords(std::span<const std::uint8_t> stream) {
  std::vector<FixupRecord> records;
  RecordReader reader(stream);
  while (!reader.atEnd()) {
    const std::size_t start = reader.position();
    const std::uint8_t kind = *reader.byte();
    if (!hasFields(kind)) continue;
    auto record = readRecord(kind, reader);
    if (!record) {
      const std::string detail = "Fixup record of kind " + std::to_string(kind) + " at offset " +
                                 std::to_string(start) +
                                 (reader.unterminated() ? " has a name without its terminating zero"
                                                        : " is cut short by the end of the import part");
      reportAssertion(kSourceFile, __LINE__, "recordEnd <= importLength", detail.c_str());
      break;
    }
    records.push_back(std::move(*record));
  }
  return records;
}

}  // namespace rt::host
