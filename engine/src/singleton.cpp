#include "singleton.h"

#include <cxxabi.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "format_string.h"
#include "report_assert.h"

namespace QV {

const char* readableTypeName(const std::type_info& type, char* buffer, unsigned capacity) {
    int status = 0;
    char* demangled = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
    const char* name = (status == 0 && demangled) ? demangled : type.name();
    std::snprintf(buffer, capacity, "class %s", name);
    std::free(demangled);
    return buffer;
}

void reportMissingSingleton(const std::type_info& type, const char* file, int line) {
    char typeName[200];
    char message[256];
    std::snprintf(message, sizeof(message), "Singleton not initialized: %s",
                  readableTypeName(type, typeName, sizeof(typeName)));
    reportAssert("QV", message, file, line);
    breakpointTrap();
}

}  // namespace QV
