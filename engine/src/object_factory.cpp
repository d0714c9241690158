#include "object_factory.h"

namespace QV {

ObjectFactory::~ObjectFactory() {
    for (auto& entry : mCreators) delete entry.second;
    mCreators.clear();
}

Serializable* ObjectFactory::createObject(const std::string& className) {
    auto it = mCreators.find(className);
    return it == mCreators.end() ? nullptr : it->second->create();
}

ObjectCreatorInterface* ObjectFactory::findCreator(const std::string& typeName) {
    for (auto& entry : mCreators) {
        if (entry.second->typeName() == typeName) return entry.second;
    }
    return nullptr;
}

std::string ObjectFactory::findClassName(const std::string& typeName) {
    for (auto& entry : mCreators) {
        if (entry.second->typeName() == typeName) return entry.first;
    }
    return std::string();
}

}  // namespace QV
