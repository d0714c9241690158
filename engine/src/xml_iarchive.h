#pragma once

#include <pugixml.hpp>

#include <deque>
#include <string>
#include <type_traits>
#include <vector>

#include "color.h"
#include "object_factory.h"
#include "rect.h"
#include "serializable.h"
#include "vector2.h"

namespace QV {

// Reads objects from the XML name-value form: every field is a child element
// named after it, its value in attributes; a missing field reads as zero.
class XmlIArchive {
public:
    // Opens the resource through the file system; a missing file or a
    // document pugixml rejects is fatal.
    XmlIArchive(const std::string& package, const std::string& fileName);
    // Parses text in memory; a rejected document leaves isLoaded() false.
    XmlIArchive(const char* data, size_t size);
    virtual ~XmlIArchive() = default;

    bool isLoaded() const { return mLoaded; }
    size_t stackDepth() const { return mStack.size(); }

    void load(nvp<int> pair);
    void load(nvp<float> pair);
    void load(nvp<bool> pair);
    void load(nvp<std::string> pair);
    void load(nvp<Vector2<float>> pair);
    void load(nvp<Rect> pair);
    void load(nvp<Color> pair);

    // An object or an object member: its fields from its own element.
    template <class T>
    void load(nvp<T> pair) {
        static_assert(std::is_base_of<Serializable, T>::value, "not a serializable class");
        mStack.push_back(field(pair.name()));
        pair.value()->load(*this);
        mStack.pop_back();
    }

    // A pointer: "class_name" picks the class of the new object.
    template <class T>
    void load(nvp<T*> pair) {
        static_assert(std::is_base_of<Serializable, T>::value, "not a serializable class");
        pugi::xml_node element = field(pair.name());
        T* object = createForRead<T>(element.attribute("class_name").as_string());
        *pair.value() = object;
        mStack.push_back(element);
        object->load(*this);
        mStack.pop_back();
    }

    template <class T>
    void load(nvp<std::vector<T>> pair) {
        std::vector<T>& items = *pair.value();
        items.clear();
        pugi::xml_node element = field(pair.name());
        mStack.push_back(element);
        int count = parseCount(element);
        for (int i = 0; i < count; ++i) {
            T item{};
            load(nvp<T>("e" + std::to_string(i), &item));
            items.push_back(std::move(item));
        }
        mStack.pop_back();
    }

private:
    void parse(const char* data, size_t size, bool fatalOnError);
    pugi::xml_node field(const std::string& name) const;
    static int parseCount(const pugi::xml_node& element);

    // Unknown or mismatched class names give the base class: the item keeps
    // its place and its fields are never read into nothing.
    template <class T>
    static T* createForRead(const char* className) {
        if (className && *className) {
            Serializable* made = Singleton<ObjectFactory>::instance()->createObject(className);
            if (T* typed = dynamic_cast<T*>(made)) return typed;
            delete made;
        }
        return new T();
    }

    pugi::xml_document mDocument;
    std::deque<pugi::xml_node> mStack;
    bool mLoaded = false;
};

}  // namespace QV
