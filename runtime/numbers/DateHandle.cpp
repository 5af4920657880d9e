#include "numbers/DateHandle.h"

#include "numbers/DateApi.h"
#include "numbers/DateObject.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionHandle.h"

namespace rt {

Date Date::now() { return Date(newObject(objects::classFor(dates::dateClass))); }

Date Date::parse(const String& text) {
  RTObject* parsed = nullptr;
  const bool ok = parseDate(text.get(), &parsed) != 0;
  throwIfPending();
  return ok ? Date(Object::adopt(parsed)) : Date();
}

std::int32_t Date::field(DateField which) const {
  return dateFieldGetter(get(), static_cast<std::int32_t>(which));
}

void Date::setField(DateField which, std::int32_t value) {
  dateFieldSetter(get(), static_cast<std::int32_t>(which), value);
}

String Date::text(DateText form) const {
  return String::adopt(dateStringGetter(get(), static_cast<std::int32_t>(form)));
}

double Date::totalSeconds() const { return dateTotalSecondsGetter(get()); }

void Date::setTotalSeconds(double seconds) { dateTotalSecondsSetter(get(), seconds); }

double Date::gmtOffset() const { return dateGMTOffsetGetter(get()); }

void Date::setGMTOffset(double hours) { dateGMTOffsetSetter(get(), hours); }

String Date::sqlDate() const { return String::adopt(dateSQLDateGetter(get())); }

void Date::setSqlDate(const String& text) { dateSQLDateSetter(get(), text.get()); }

String Date::sqlDateTime() const { return String::adopt(dateSQLDateTimeGetter(get())); }

void Date::setSqlDateTime(const String& text) { dateSQLDateTimeSetter(get(), text.get()); }

int compare(const Date& a, const Date& b) { return DateCompare(a.get(), b.get()); }

}  // namespace rt
