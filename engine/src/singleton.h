#pragma once

#include <typeinfo>

namespace QV {

// Reports "Singleton not initialized: %s" for the given run-time type name
// and stops at a breakpoint trap when the report is answered with OK.
[[noreturn]] void reportMissingSingleton(const std::type_info& type, const char* file, int line);

// Readable form of a run-time type name, e.g. "class QV::SoundManager".
const char* readableTypeName(const std::type_info& type, char* buffer, unsigned capacity);

template <class T>
class Singleton {
public:
    Singleton() { sInstance = static_cast<T*>(this); }
    virtual ~Singleton() {
        if (sInstance == static_cast<T*>(this)) sInstance = nullptr;
    }
    Singleton(const Singleton&) = delete;
    Singleton& operator=(const Singleton&) = delete;

    // The accessor: fatal when T does not exist.
    static T* instance() {
        T* p = sInstance;
        if (!p) {
            p = sInstance;  // tested again, another thread may have made it meanwhile
            if (!p) reportMissingSingleton(typeid(T), __FILE__, __LINE__);
        }
        return p;
    }
    // The raw pointer, for code that checks for presence itself.
    static T* instancePointer() { return sInstance; }

private:
    static inline T* sInstance = nullptr;
};

}  // namespace QV
