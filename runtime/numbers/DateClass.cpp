#include <array>

#include "numbers/DateApi.h"
#include "numbers/DateImpUnix.h"
#include "numbers/DateObject.h"
#include "objects/ClassRegistry.h"

namespace rt::dates {
namespace {

template <class F>
void* entry(F* function) {
  return reinterpret_cast<void*>(function);
}

PropertyDefinition field(const char* name, DateFieldCode code) {
  return {name, entry(&dateFieldGetter), entry(&dateFieldSetter), code};
}

PropertyDefinition text(const char* name, DateTextCode code) {
  return {name, entry(&dateStringGetter), nullptr, code};
}

const std::array kDateProperties{
    field("Year", kFieldYear),
    field("Month", kFieldMonth),
    field("Day", kFieldDay),
    field("Hour", kFieldHour),
    field("Minute", kFieldMinute),
    field("Second", kFieldSecond),
    field("DayOfWeek", kFieldDayOfWeek),
    field("DayOfYear", kFieldDayOfYear),
    PropertyDefinition{"WeekOfYear", entry(&dateFieldGetter), nullptr, kFieldWeekOfYear},
    text("ShortDate", kTextShortDate),
    text("LongDate", kTextLongDate),
    text("AbbreviatedDate", kTextAbbreviatedDate),
    text("ShortTime", kTextShortTime),
    text("LongTime", kTextLongTime),
    PropertyDefinition{"TotalSeconds", entry(&dateTotalSecondsGetter),
                       entry(&dateTotalSecondsSetter), 0},
    PropertyDefinition{"GMTOffset", entry(&dateGMTOffsetGetter), entry(&dateGMTOffsetSetter), 0},
    PropertyDefinition{"SQLDate", entry(&dateSQLDateGetter), entry(&dateSQLDateSetter), 0},
    PropertyDefinition{"SQLDateTime", entry(&dateSQLDateTimeGetter),
                       entry(&dateSQLDateTimeSetter), 0},
};

}  // namespace

const ClassDefinition dateClass{"Date",          nullptr,         sizeof(DateObject),
                                &AutoInitDate,   &DateFinalizer,  {},
                                kDateProperties, {}};

void registerDateClass() { objects::registerClassDefinition(dateClass); }

DateImp& recordOf(RTObject* date) {
  auto* object = reinterpret_cast<DateObject*>(date);
  if (object->record == nullptr) object->record = new DateImpUnix;
  return *object->record;
}

}  // namespace rt::dates
