#include "board/property_values.h"

#include <cstdio>
#include <cstdlib>

#include "board/chip.h"

std::string TDataContainer<int>::getString() const {
    char text[16];
    std::snprintf(text, sizeof(text), "%d", value);
    return text;
}

int TDataContainer<std::string>::getInt() const {
    // strtol reads white space, a sign and the digits up to the first other
    // character, and gives 0 when there is no number; clamp instead of overflow.
    long number = std::strtol(value.c_str(), nullptr, 10);
    if (number > 2147483647L) return 2147483647;
    if (number < -2147483647L - 1) return -2147483647 - 1;
    return static_cast<int>(number);
}

float TDataContainer<std::string>::getFloat() const {
    return static_cast<float>(std::strtod(value.c_str(), nullptr));
}

void deletePolymorphic(IDataContainer* container) { delete container; }

DataHolder::DataHolder(int value) : container(new TDataContainer<int>(value)), type(kInt) {}

DataHolder::DataHolder(const char* value)
    : container(new TDataContainer<std::string>(value ? value : "")), type(kString) {}

DataHolder::DataHolder(const std::string& value)
    : container(new TDataContainer<std::string>(value)), type(kString) {}

DataHolder::DataHolder(const DataHolder& other)
    : container(other.container ? other.container->clone() : nullptr), type(other.type) {}

DataHolder& DataHolder::operator=(const DataHolder& other) {
    if (this == &other) return *this;
    IDataContainer* copy = other.container ? other.container->clone() : nullptr;
    deletePolymorphic(container);
    container = copy;
    type = other.type;
    return *this;
}

DataHolder::~DataHolder() { deletePolymorphic(container); }

void DataHolder::setChip(Chip* chip) {
    deletePolymorphic(container);
    container = new TUserContainer<Chip*>(chip, chip ? chip->generation : 0);
    type = kChip;
}

Chip* DataHolder::toChip() const {
    auto* user = dynamic_cast<const TUserContainer<Chip*>*>(container);
    if (!user || !user->value || user->value->generation != user->generation) return nullptr;
    return user->value;
}
