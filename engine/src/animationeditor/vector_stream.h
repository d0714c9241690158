#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace AE {

// A raw byte stream: bytes come back out in the order they went in.
class DataStream {
public:
    virtual ~DataStream() = default;
    virtual void write(const void* bytes, unsigned length) = 0;
    virtual void read(void* destination, unsigned length) = 0;
    virtual int32_t size() { return -1; }
};

// A stream over a byte vector that the caller keeps alive.
class VectorStream : public DataStream {
public:
    explicit VectorStream(std::vector<uint8_t>* bytes) : mBytes(bytes) {}

    void write(const void* bytes, unsigned length) override;
    // Fatal ("Read data from out of range!") unless the whole length is left.
    void read(void* destination, unsigned length) override;
    int32_t size() override { return static_cast<int32_t>(mBytes->size()); }

    unsigned position() const { return mPosition; }

private:
    std::vector<uint8_t>* mBytes;
    unsigned mPosition = 0;
};

// Plain values go in as their in-memory (little-endian) bytes.
template <typename T>
void writeValue(DataStream& stream, const T& value) {
    stream.write(&value, sizeof(T));
}

template <typename T>
T readValue(DataStream& stream) {
    T value{};
    stream.read(&value, sizeof(T));
    return value;
}

// A string is its bytes followed by one zero byte.
void writeCString(DataStream& stream, const std::string& text);
std::string readCString(DataStream& stream);

// A 32-bit count followed by that many 32-bit integers.
void writeIntVector(DataStream& stream, const std::vector<int32_t>& values);
void readIntVector(std::vector<int32_t>& values, DataStream& stream);

}  // namespace AE
