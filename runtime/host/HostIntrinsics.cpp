#include <array>

#include "host/FailureReport.h"
#include "host/IntrinsicTable.h"

namespace rt::intrinsics {

std::span<const IntrinsicEntry> hostFunctions() {
  static const std::array entries{
      RT_INTRINSIC(RuntimeReportFailure),
  };
  return entries;
}

}  // namespace rt::intrinsics
