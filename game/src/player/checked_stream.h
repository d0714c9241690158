#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "animationeditor/vector_stream.h"

// A read-only stream over bytes from a file the player could have damaged:
// reading past the end marks the stream failed and yields zeros instead of
// stopping the program, so a reader can refuse the data as a whole.
class CheckedStream : public AE::DataStream {
public:
    CheckedStream(const uint8_t* bytes, size_t size) : mBytes(bytes), mSize(size) {}

    void write(const void* bytes, unsigned length) override;
    void read(void* destination, unsigned length) override;
    int32_t size() override { return static_cast<int32_t>(mSize); }

    bool failed() const { return mFailed; }
    size_t position() const { return mPosition; }
    size_t remaining() const { return mSize - mPosition; }
    bool atEnd() const { return mPosition == mSize; }
    void fail() { mFailed = true; }
    // Moves past n bytes; fails when fewer are left.
    void skip(size_t n);

private:
    const uint8_t* mBytes;
    size_t mSize;
    size_t mPosition = 0;
    bool mFailed = false;
};

// True when the stream is a CheckedStream that ran out of data.
bool streamFailed(AE::DataStream& stream);
// Bytes left, or SIZE_MAX when the stream cannot tell.
size_t streamRemaining(AE::DataStream& stream);

// A zero-terminated string; a missing terminator fails a checked stream.
std::string readCStringChecked(AE::DataStream& stream);
