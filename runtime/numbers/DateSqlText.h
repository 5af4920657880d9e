// The SQLDate and SQLDateTime texts of a date: "YYYY-MM-DD" and
// "YYYY-MM-DD HH:MM:SS".
#pragma once

#include <string>
#include <string_view>

#include "numbers/DateImp.h"

namespace rt::dates {

std::string sqlDate(DateImp& record);
std::string sqlDateTime(DateImp& record);

// Both setters read "YYYY-MM-DD" with an optional " HH:MM:SS" (surrounding
// white space allowed). The date setter keeps the time of day; the date-time
// setter takes midnight when the time is missing. Text that is malformed or
// names no real date or time leaves the record unchanged and gives false.
bool setSqlDate(DateImp& record, std::string_view text);
bool setSqlDateTime(DateImp& record, std::string_view text);

}  // namespace rt::dates
