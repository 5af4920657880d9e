#include <array>

#include "host/IntrinsicTable.h"
#include "objects/ExceptionApi.h"
#include "objects/FieldAccessors.h"
#include "objects/ObjectModel.h"

namespace rt::intrinsics {

std::span<const IntrinsicEntry> objectFunctions() {
  static const std::array entries{
      RT_INTRINSIC(RuntimeNewClass),
      RT_INTRINSIC(RuntimeRegisterClass),
      RT_INTRINSIC(RuntimeNewVtable),
      RT_INTRINSIC(RuntimeNewObject),
      RT_INTRINSIC(CreateInstance),
      RT_INTRINSIC(RuntimeLockObject),
      RT_INTRINSIC(RuntimeUnlockObject),
      RT_INTRINSIC(RuntimeLockUnlockObjects),
      RT_INTRINSIC(RuntimeObjectIsa),
      RT_INTRINSIC(RuntimeCheckCast),
      RT_INTRINSIC(RuntimeLookupInterfaceVtable),
      RT_INTRINSIC(RuntimeLookupClass),
      RT_INTRINSIC_NAMED("TOLVLockObject", RuntimeLockObject),
      RT_INTRINSIC_NAMED("TOLVUnlockObject", RuntimeUnlockObject),
      RT_INTRINSIC(RuntimeRaiseException),
      RT_INTRINSIC(RuntimeReraiseException),
      RT_INTRINSIC(RuntimeUnhandledException),
      RT_INTRINSIC(RuntimeExceptionInitializer),
      RT_INTRINSIC(RuntimeExceptionFinalizer),
      RT_INTRINSIC(RuntimeExceptionStack),
      RT_INTRINSIC(RaiseNilObjectException),
      RT_INTRINSIC(RaiseOutOfBoundsException),
      RT_INTRINSIC(RaiseIllegalCastException),
      RT_INTRINSIC(RuntimeRaiseFunctionNotFoundException),
      RT_INTRINSIC(byteGetter),
      RT_INTRINSIC(byteSetter),
      RT_INTRINSIC(boolGetter),
      RT_INTRINSIC(boolSetter),
      RT_INTRINSIC(shortGetter),
      RT_INTRINSIC(shortSetter),
      RT_INTRINSIC(intGetter),
      RT_INTRINSIC(intSetter),
      RT_INTRINSIC(int64Getter),
      RT_INTRINSIC(int64Setter),
      RT_INTRINSIC(singleGetter),
      RT_INTRINSIC(singleSetter),
      RT_INTRINSIC(doubleGetter),
      RT_INTRINSIC(doubleSetter),
      RT_INTRINSIC(stringGetter),
      RT_INTRINSIC(stringSetter),
      RT_INTRINSIC(objGetter),
      RT_INTRINSIC(objSetter),
      RT_INTRINSIC(arrayGetter),
      RT_INTRINSIC(arraySetter),
  };
  return entries;
}

}  // namespace rt::intrinsics
