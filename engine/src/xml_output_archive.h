#pragma once

#include <pugixml.hpp>

#include <deque>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <vector>

#include "color.h"
#include "object_factory.h"
#include "rect.h"
#include "serializable.h"
#include "vector2.h"

namespace QV {

// Writes objects in the canonical name-value form under a "root" element.
class XmlOutputArchive {
public:
    XmlOutputArchive();
    virtual ~XmlOutputArchive() = default;

    // The document with an XML declaration.
    std::string text() const;
    bool saveFile(const std::string& path) const;

    void save(nvp<int> pair);
    void save(nvp<float> pair);
    void save(nvp<bool> pair);
    void save(nvp<std::string> pair);
    void save(nvp<Vector2<float>> pair);
    void save(nvp<Rect> pair);
    void save(nvp<Color> pair);

    template <class T>
    void save(nvp<T> pair) {
        static_assert(std::is_base_of<Serializable, T>::value, "not a serializable class");
        saveObject(pair.name(), *pair.value());
    }

    template <class T>
    void save(nvp<T*> pair) {
        static_assert(std::is_base_of<Serializable, T>::value, "not a serializable class");
        if (*pair.value()) {
            saveObject(pair.name(), **pair.value());
        } else {
            mStack.back().append_child(pair.name().c_str()).append_attribute("class_name") = "";
        }
    }

    template <class T>
    void save(nvp<std::vector<T>> pair) {
        pugi::xml_node element = mStack.back().append_child(pair.name().c_str());
        element.append_attribute("sz") = static_cast<long long>(pair.value()->size());
        mStack.push_back(element);
        for (size_t i = 0; i < pair.value()->size(); ++i) {
            save(nvp<T>("e" + std::to_string(i), &(*pair.value())[i]));
        }
        mStack.pop_back();
    }

private:
    pugi::xml_node addValue(const std::string& name);
    void saveObject(const std::string& name, Serializable& object);

    pugi::xml_document mDocument;
    std::deque<pugi::xml_node> mStack;
};

}  // namespace QV
