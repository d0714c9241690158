#pragma once

#include <string>
#include <utility>

namespace QV {

class PropertyVisitArchive;
class XmlIArchive;
class XmlOutputArchive;

// A name-value pair: one field handed to an archive.
template <class T>
class nvp {
public:
    nvp(std::string name, T* value) : mName(std::move(name)), mValue(value) {}
    virtual ~nvp() = default;
    const std::string& name() const { return mName; }
    T* value() const { return mValue; }

private:
    std::string mName;
    T* mValue;
};

template <class T>
nvp<T> makeNvp(const std::string& name, T& value) {
    return nvp<T>(name, &value);
}

// Base of every class the archives read, write and visit: each passes its
// fields as name-value pairs, in one fixed order, in all three directions.
class Serializable {
public:
    virtual ~Serializable() = default;
    virtual void visit(PropertyVisitArchive& archive) = 0;
    virtual void load(XmlIArchive& archive) = 0;
    virtual void save(XmlOutputArchive& archive) = 0;
};

}  // namespace QV
