#include "player/checked_stream.h"

#include <cstring>

void CheckedStream::write(const void*, unsigned) { mFailed = true; }

void CheckedStream::read(void* destination, unsigned length) {
    if (mFailed || length > mSize - mPosition) {
        mFailed = true;
        if (length > 0) std::memset(destination, 0, length);
        return;
    }
    if (length == 0) return;
    std::memcpy(destination, mBytes + mPosition, length);
    mPosition += length;
}

void CheckedStream::skip(size_t n) {
    if (mFailed || n > mSize - mPosition) {
        mFailed = true;
        return;
    }
    mPosition += n;
}

bool streamFailed(AE::DataStream& stream) {
    CheckedStream* checked = dynamic_cast<CheckedStream*>(&stream);
    return checked && checked->failed();
}

size_t streamRemaining(AE::DataStream& stream) {
    CheckedStream* checked = dynamic_cast<CheckedStream*>(&stream);
    return checked ? checked->remaining() : SIZE_MAX;
}

std::string readCStringChecked(AE::DataStream& stream) {
    CheckedStream* checked = dynamic_cast<CheckedStream*>(&stream);
    if (!checked) return AE::readCString(stream);
    std::string text;
    for (;;) {
        char c = 0;
        checked->read(&c, 1);
        if (checked->failed() || c == 0) break;
        text.push_back(c);
    }
    return text;
}
