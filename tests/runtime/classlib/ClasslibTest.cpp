#include "ClasslibTest.h"

#include <sys/resource.h>
#include <unistd.h>

#include <fstream>

#include "classlib/BlowfishObject.h"
#include "classlib/BoxedValues.h"
#include "classlib/ClasslibClasses.h"
#include "classlib/Dictionary.h"
#include "classlib/MemoryBlock.h"
#include "numbers/DateObject.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionApi.h"
#include "objects/ExceptionClasses.h"
#include "text/StringStorage.h"

namespace classlib_test {
namespace {

// Class records live for the whole process: they are built once, outside
// every test's allocation balance.
class ClasslibEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    rt::classlib::registerClasslibClasses();
    rt::dates::registerDateClass();
    for (const rt::ClassDefinition* definition :
         {&rt::classlib::int32ObjectClass, &rt::classlib::uint32ObjectClass,
          &rt::classlib::int64ObjectClass, &rt::classlib::uint64ObjectClass,
          &rt::classlib::singleObjectClass, &rt::classlib::doubleObjectClass,
          &rt::classlib::booleanObjectClass, &rt::classlib::colorObjectClass,
          &rt::classlib::stringObjectClass, &rt::classlib::dictionaryClass,
          &rt::classlib::memoryBlockClass, &rt::classlib::blowfishClass, &rt::dates::dateClass}) {
      rt::objects::classFor(*definition);
    }
  }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new ClasslibEnvironment);

}  // namespace

std::string takeExceptionName() {
  rt::Object exception = rt::Object::adopt(rt::exceptions::take());
  return exception ? std::string(rt::text::bytes(exception->cls->name)) : std::string();
}

std::string pendingMessage() {
  const auto* exception =
      reinterpret_cast<const RuntimeExceptionObject*>(rt::exceptions::pending());
  return exception ? std::string(rt::text::bytes(exception->message)) : std::string();
}

void limitAddressSpace() {
  std::size_t pages = 0;
  std::ifstream("/proc/self/statm") >> pages;
  const rlim_t headroom = rlim_t{256} << 20;
  rlimit limit{};
  getrlimit(RLIMIT_AS, &limit);
  limit.rlim_cur = pages * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + headroom;
  setrlimit(RLIMIT_AS, &limit);
}

}  // namespace classlib_test
