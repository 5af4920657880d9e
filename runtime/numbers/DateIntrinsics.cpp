#include <array>
#include <span>

#include "host/IntrinsicTable.h"
#include "numbers/DateApi.h"

namespace rt::intrinsics {

std::span<const IntrinsicEntry> dateFunctions() {
  static const std::array entries{
      RT_INTRINSIC(AutoInitDate),
      RT_INTRINSIC(DateFinalizer),
      RT_INTRINSIC(dateFieldGetter),
      RT_INTRINSIC(dateFieldSetter),
      RT_INTRINSIC(dateStringGetter),
      RT_INTRINSIC(dateTotalSecondsGetter),
      RT_INTRINSIC(dateTotalSecondsSetter),
      RT_INTRINSIC(dateGMTOffsetGetter),
      RT_INTRINSIC(dateGMTOffsetSetter),
      RT_INTRINSIC(dateSQLDateGetter),
      RT_INTRINSIC(dateSQLDateSetter),
      RT_INTRINSIC(dateSQLDateTimeGetter),
      RT_INTRINSIC(dateSQLDateTimeSetter),
      RT_INTRINSIC(DateCompare),
      RT_INTRINSIC(parseDate),
  };
  return entries;
}

}  // namespace rt::intrinsics
