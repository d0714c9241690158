#include "xml_output_archive.h"

#include <sstream>

#include "format_string.h"

namespace QV {

XmlOutputArchive::XmlOutputArchive() {
    pugi::xml_node declaration = mDocument.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "utf-8";
    mStack.push_back(mDocument.append_child("root"));
}

std::string XmlOutputArchive::text() const {
    std::ostringstream out;
    mDocument.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    return out.str();
}

bool XmlOutputArchive::saveFile(const std::string& path) const {
    return mDocument.save_file(path.c_str(), "  ", pugi::format_default, pugi::encoding_utf8);
}

pugi::xml_node XmlOutputArchive::addValue(const std::string& name) {
    return mStack.back().append_child(name.c_str());
}

void XmlOutputArchive::saveObject(const std::string& name, Serializable& object) {
    pugi::xml_node element = addValue(name);
    element.append_attribute("class_name") =
        Singleton<ObjectFactory>::instance()->findClassName(typeid(object).name()).c_str();
    mStack.push_back(element);
    object.save(*this);
    mStack.pop_back();
}

void XmlOutputArchive::save(nvp<int> pair) {
    addValue(pair.name()).append_attribute("v") = formatString("%i", *pair.value()).c_str();
}

void XmlOutputArchive::save(nvp<float> pair) {
    addValue(pair.name()).append_attribute("v") = formatString("%f", static_cast<double>(*pair.value())).c_str();
}

void XmlOutputArchive::save(nvp<bool> pair) {
    addValue(pair.name()).append_attribute("v") = *pair.value() ? "true" : "false";
}

void XmlOutputArchive::save(nvp<std::string> pair) {
    addValue(pair.name()).append_attribute("v") = pair.value()->c_str();
}

void XmlOutputArchive::save(nvp<Vector2<float>> pair) {
    pugi::xml_node element = addValue(pair.name());
    element.append_attribute("x") = formatString("%f", static_cast<double>(pair.value()->x)).c_str();
    element.append_attribute("y") = formatString("%f", static_cast<double>(pair.value()->y)).c_str();
}

void XmlOutputArchive::save(nvp<Rect> pair) {
    pugi::xml_node element = addValue(pair.name());
    const Rect& r = *pair.value();
    element.append_attribute("left") = formatString("%f", static_cast<double>(r.left)).c_str();
    element.append_attribute("top") = formatString("%f", static_cast<double>(r.top)).c_str();
    element.append_attribute("right") = formatString("%f", static_cast<double>(r.right)).c_str();
    element.append_attribute("bottom") = formatString("%f", static_cast<double>(r.bottom)).c_str();
}

void XmlOutputArchive::save(nvp<Color> pair) {
    pugi::xml_node element = addValue(pair.name());
    const Color& c = *pair.value();
    element.append_attribute("r") = formatString("%i", c.r).c_str();
    element.append_attribute("g") = formatString("%i", c.g).c_str();
    element.append_attribute("b") = formatString("%i", c.b).c_str();
    element.append_attribute("a") = formatString("%i", c.a).c_str();
}

}  // namespace QV
