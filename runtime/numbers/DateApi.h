// Entry points of the Date class. The Date object comes first and is
// borrowed, as are all other arguments. A nil Date reads as 0 (or the empty
// string) and ignores every store.
#pragma once

#include <stdint.h>

#include "objects/ObjectModel.h"
#include "text/StringBlock.h"

#ifdef __cplusplus
extern "C" {
#endif

// Initializer: gives the object its record, set to the current local time.
void AutoInitDate(RTObject* date);
// Finalizer: deletes the object's record.
void DateFinalizer(RTObject* date);

// Returns field code of the date (0 Year ... 8 WeekOfYear); other codes are reported and give 0.
int32_t dateFieldGetter(RTObject* date, int32_t code);
// Stores field code (0 to 7; 8 is read only); other codes are reported.
void dateFieldSetter(RTObject* date, int32_t code, int32_t value);
// Returns a new reference to text code (0 ShortDate ... 4 LongTime).
RTString dateStringGetter(RTObject* date, int32_t code);

// Returns the seconds from 1 January 1904 00:00:00 to the date, as local time.
double dateTotalSecondsGetter(RTObject* date);
// Sets the date to whole seconds after (or before, when negative) 1 January 1904.
void dateTotalSecondsSetter(RTObject* date, double seconds);
// Returns the GMT offset in hours.
double dateGMTOffsetGetter(RTObject* date);
// Sets the GMT offset, moving the fields by the change.
void dateGMTOffsetSetter(RTObject* date, double hours);

// Returns a new reference to "YYYY-MM-DD".
RTString dateSQLDateGetter(RTObject* date);
// Sets year, month and day from "YYYY-MM-DD"; unreadable text is ignored.
void dateSQLDateSetter(RTObject* date, RTString text);
// Returns a new reference to "YYYY-MM-DD HH:MM:SS".
RTString dateSQLDateTimeGetter(RTObject* date);
// Sets date and time from "YYYY-MM-DD HH:MM:SS"; unreadable text is ignored.
void dateSQLDateTimeSetter(RTObject* date, RTString text);

// Returns -1, 0 or 1 as a is before, at or after b (nil before every date).
int32_t DateCompare(RTObject* a, RTObject* b);
// Returns 1 and stores a new Date in *date (releasing the old one) when text
// is a date; else 0 with *date untouched.
uint8_t parseDate(RTString text, RTObject** date);

#ifdef __cplusplus
}
#endif
