#pragma once

#include <map>
#include <string>
#include <typeinfo>

#include "serializable.h"
#include "singleton.h"

namespace QV {

class ObjectCreatorInterface {
public:
    virtual ~ObjectCreatorInterface() = default;
    virtual Serializable* create() = 0;
    // The object must be of the creator's class.
    virtual Serializable* clone(const Serializable& object) = 0;
    virtual std::string typeName() = 0;
};

template <class T>
class ObjectCreator : public ObjectCreatorInterface {
public:
    Serializable* create() override { return new T(); }
    Serializable* clone(const Serializable& object) override { return new T(static_cast<const T&>(object)); }
    std::string typeName() override { return typeid(T).name(); }
};

// Creates serialized objects by class name and copies them by run-time type.
class ObjectFactory : public Singleton<ObjectFactory> {
public:
    ObjectFactory() = default;
    ~ObjectFactory() override;

    // The first registration of a name stays.
    template <class T>
    void registerCreator(const std::string& className) {
        if (mCreators.count(className)) return;
        mCreators.emplace(className, new ObjectCreator<T>());
    }

    // Null when no class is registered under that exact name.
    Serializable* createObject(const std::string& className);

    // A copy of the object as its own registered class, or as T when its
    // class is not registered.
    template <class T>
    T* cloneObject(const T& object) {
        if (ObjectCreatorInterface* creator = findCreator(typeid(object).name())) {
            return static_cast<T*>(creator->clone(object));
        }
        return new T(object);
    }

    // The registered name of a run-time type name; empty when unregistered.
    std::string findClassName(const std::string& typeName);

private:
    ObjectCreatorInterface* findCreator(const std::string& typeName);
    std::map<std::string, ObjectCreatorInterface*> mCreators;
};

}  // namespace QV
