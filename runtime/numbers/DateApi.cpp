#include "numbers/DateApi.h"

#include <string>
#include <utility>

#include "numbers/DateObject.h"
#include "numbers/DateSqlText.h"
#include "objects/ClassRegistry.h"
#include "text/Encodings.h"
#include "text/StringApi.h"
#include "text/StringStorage.h"

using rt::dates::recordOf;

namespace {

// Names from the date command may be any UTF-8 text; ASCII is a part of it.
RTString newText(const std::string& text) { return rt::text::makeString(text, kEncodingUTF8); }

}  // namespace

extern "C" {

void AutoInitDate(RTObject* date) {
  if (date != nullptr) recordOf(date).EnsureInitialized();
}

void DateFinalizer(RTObject* date) {
  if (date == nullptr) return;
  auto* object = reinterpret_cast<rt::dates::DateObject*>(date);
  delete object->record;
  object->record = nullptr;
}

int32_t dateFieldGetter(RTObject* date, int32_t code) {
  return date != nullptr ? recordOf(date).GetField(code) : 0;
}

void dateFieldSetter(RTObject* date, int32_t code, int32_t value) {
  if (date != nullptr) recordOf(date).SetField(code, value);
}

RTString dateStringGetter(RTObject* date, int32_t code) {
  return date != nullptr ? newText(recordOf(date).GetString(code)) : nullptr;
}

double dateTotalSecondsGetter(RTObject* date) {
  return date != nullptr ? recordOf(date).GetTotalSeconds() : 0.0;
}

void dateTotalSecondsSetter(RTObject* date, double seconds) {
  if (date != nullptr) recordOf(date).SetTotalSeconds(seconds);
}

double dateGMTOffsetGetter(RTObject* date) {
  return date != nullptr ? recordOf(date).gmtOffset() : 0.0;
}

void dateGMTOffsetSetter(RTObject* date, double hours) {
  if (date != nullptr) recordOf(date).setGMTOffset(hours);
}

RTString dateSQLDateGetter(RTObject* date) {
  return date != nullptr ? newText(rt::dates::sqlDate(recordOf(date))) : nullptr;
}

void dateSQLDateSetter(RTObject* date, RTString text) {
  if (date != nullptr) rt::dates::setSqlDate(recordOf(date), rt::text::bytes(text));
}

RTString dateSQLDateTimeGetter(RTObject* date) {
  return date != nullptr ? newText(rt::dates::sqlDateTime(recordOf(date))) : nullptr;
}

void dateSQLDateTimeSetter(RTObject* date, RTString text) {
  if (date != nullptr) rt::dates::setSqlDateTime(recordOf(date), rt::text::bytes(text));
}

int32_t DateCompare(RTObject* a, RTObject* b) {
  if (a == b) return 0;
  if (a == nullptr) return -1;
  if (b == nullptr) return 1;
  const double left = recordOf(a).GetTotalSeconds();
  const double right = recordOf(b).GetTotalSeconds();
  return left < right ? -1 : (left > right ? 1 : 0);
}

uint8_t parseDate(RTString text, RTObject** date) {
  RTObject* parsed = RuntimeNewObject(rt::objects::classFor(rt::dates::dateClass));
  if (parsed == nullptr) return 0;
  const bool parsedText = recordOf(parsed).Parse(StringGetCString(text));
  if (parsedText && date != nullptr) std::swap(*date, parsed);
  // The old value on success, the unused new object otherwise.
  RuntimeUnlockObject(parsed);
  return parsedText ? 1 : 0;
}

}  // extern "C"
