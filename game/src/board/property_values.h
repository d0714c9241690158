#pragma once

#include <cstdint>
#include <map>
#include <string>

class Chip;

// A typed value of a chip's named property. The getters answer with the
// base defaults unless the class knows better.
class IDataContainer {
public:
    virtual ~IDataContainer() = default;
    virtual int getInt() const { return 0; }
    virtual float getFloat() const { return 0.0f; }
    virtual bool getBool() const { return false; }
    virtual std::string getString() const { return std::string(); }
    virtual IDataContainer* clone() const = 0;
};

template <class T>
class TDataContainer;

template <>
class TDataContainer<int> : public IDataContainer {
public:
    explicit TDataContainer(int value = 0) : value(value) {}
    int getInt() const override { return value; }
    float getFloat() const override { return static_cast<float>(value); }
    bool getBool() const override { return value != 0; }
    std::string getString() const override;
    IDataContainer* clone() const override { return new TDataContainer<int>(value); }
    int value;
};

template <>
class TDataContainer<std::string> : public IDataContainer {
public:
    explicit TDataContainer(std::string value = std::string()) : value(std::move(value)) {}
    int getInt() const override;
    float getFloat() const override;
    // Only the exact word "true" is true.
    bool getBool() const override { return value == "true"; }
    std::string getString() const override { return value; }
    IDataContainer* clone() const override { return new TDataContainer<std::string>(value); }
    std::string value;
};

template <class T>
class TUserContainer;

// A chip pointer, not owned, with the chip's generation when it was stored;
// read only through DataHolder::toChip.
template <>
class TUserContainer<Chip*> : public IDataContainer {
public:
    explicit TUserContainer(Chip* value = nullptr, uint32_t generation = 0)
        : value(value), generation(generation) {}
    IDataContainer* clone() const override { return new TUserContainer<Chip*>(value, generation); }
    Chip* value;
    uint32_t generation;
};

// Deletes through the virtual destructor; nothing for null.
void deletePolymorphic(IDataContainer* container);

// Owns one container; copying clones it.
class DataHolder {
public:
    enum Type { kEmpty = 0, kInt = 1, kString = 4, kChip = 5 };

    DataHolder() = default;
    explicit DataHolder(int value);
    explicit DataHolder(const char* value);
    explicit DataHolder(const std::string& value);
    DataHolder(const DataHolder& other);
    DataHolder& operator=(const DataHolder& other);
    ~DataHolder();

    void setChip(Chip* chip);
    // Null once the pool has handed the stored chip out again.
    Chip* toChip() const;

    IDataContainer* container = nullptr;
    int type = kEmpty;
};

// Property map of a chip or a description: byte-wise ordered keys.
using PropertyMap = std::map<std::string, DataHolder>;
