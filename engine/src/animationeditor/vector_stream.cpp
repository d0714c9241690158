#include "animationeditor/vector_stream.h"

#include <cstring>

#include "report_assert.h"

namespace AE {

void VectorStream::write(const void* bytes, unsigned length) {
    if (length == 0) return;
    // Copy first: the source may lie inside the vector, which may move when it grows.
    const uint8_t* source = static_cast<const uint8_t*>(bytes);
    std::vector<uint8_t> copy(source, source + length);
    mBytes->insert(mBytes->end(), copy.begin(), copy.end());
}

void VectorStream::read(void* destination, unsigned length) {
    const size_t available = mBytes->size();
    // Checked before copying anything, also when the read would run past the end.
    if (mPosition >= available || length > available - mPosition) {
        QV_FATAL("Read data from out of range!");
    }
    if (length == 0) return;
    std::memcpy(destination, mBytes->data() + mPosition, length);
    mPosition += length;
}

void writeCString(DataStream& stream, const std::string& text) {
    stream.write(text.c_str(), static_cast<unsigned>(text.size() + 1));
}

std::string readCString(DataStream& stream) {
    std::string text;
    for (;;) {
        char c = 0;
        stream.read(&c, 1);
        if (c == 0) break;
        text.push_back(c);
    }
    return text;
}

void writeIntVector(DataStream& stream, const std::vector<int32_t>& values) {
    writeValue<uint32_t>(stream, static_cast<uint32_t>(values.size()));
    for (int32_t v : values) writeValue(stream, v);
}

void readIntVector(std::vector<int32_t>& values, DataStream& stream) {
    values.clear();
    const uint32_t count = readValue<uint32_t>(stream);
    for (uint32_t i = 0; i < count; ++i) values.push_back(readValue<int32_t>(stream));
}

}  // namespace AE
