#include "sound_decoder.h"

#include <climits>
#include <cstring>

#include "sound_log.h"

namespace QV {

SoundDecoder::SoundDecoder() { std::memset(&mVorbis, 0, sizeof(mVorbis)); }

SoundDecoder::~SoundDecoder() { close(); }

void SoundDecoder::close() {
    if (mOpened) ov_clear(&mVorbis);
    mOpened = false;
    mChannels = 0;
    mRate = 0;
    mTotalFrames = 0;
}

size_t SoundDecoder::readCallback(void* destination, size_t itemSize, size_t itemCount, void* source) {
    SoundDecoder* self = static_cast<SoundDecoder*>(source);
    if (!destination || !self || itemSize == 0 || itemCount == 0) return 0;
    if (self->mPosition < 0 || self->mPosition >= self->mSize) return 0;
    size_t left = static_cast<size_t>(self->mSize - self->mPosition);
    // Whole items only; compared by division so a huge request cannot overflow.
    if (itemCount > left / itemSize) itemCount = left / itemSize;
    size_t bytes = itemCount * itemSize;
    if (bytes == 0) return 0;
    std::memcpy(destination, self->mData.data() + self->mPosition, bytes);
    self->mPosition += static_cast<int32_t>(bytes);
    return itemCount;
}

int SoundDecoder::seekCallback(void* source, ogg_int64_t offset, int origin) {
    SoundDecoder* self = static_cast<SoundDecoder*>(source);
    if (!self) return -1;
    ogg_int64_t target;
    switch (origin) {
        case SEEK_SET: target = offset; break;
        case SEEK_CUR: target = static_cast<ogg_int64_t>(self->mPosition) + offset; break;
        // The end counts from the last byte.
        case SEEK_END: target = static_cast<ogg_int64_t>(self->mSize) - 1 + offset; break;
        default: return -1;
    }
    if (target < 0 || target > static_cast<ogg_int64_t>(self->mSize) - 1) return -1;
    self->mPosition = static_cast<int32_t>(target);
    return 0;
}

int SoundDecoder::closeCallback(void* source) { return source ? 0 : -1; }

long SoundDecoder::tellCallback(void* source) {
    SoundDecoder* self = static_cast<SoundDecoder*>(source);
    return self ? self->mPosition : -1;
}

bool SoundDecoder::openData(const void* bytes, size_t count, const std::string& name) {
    close();
    if (count > static_cast<size_t>(INT32_MAX)) {
        soundLogFormat("WARNING. Sound too large %s", name.c_str());
        return false;
    }
    mData.assign(static_cast<const unsigned char*>(bytes), static_cast<const unsigned char*>(bytes) + count);
    mSize = static_cast<int32_t>(count);
    mPosition = 0;

    ov_callbacks callbacks;
    callbacks.read_func = &SoundDecoder::readCallback;
    callbacks.seek_func = &SoundDecoder::seekCallback;
    callbacks.close_func = &SoundDecoder::closeCallback;
    callbacks.tell_func = &SoundDecoder::tellCallback;
    if (ov_open_callbacks(this, &mVorbis, nullptr, 0, callbacks) < 0) {
        ov_clear(&mVorbis);
        std::memset(&mVorbis, 0, sizeof(mVorbis));
        soundLogFormat("WARNING. Sound is not Ogg Vorbis %s", name.c_str());
        return false;
    }
    mOpened = true;
    vorbis_info* info = ov_info(&mVorbis, -1);
    ogg_int64_t total = ov_pcm_total(&mVorbis, -1);
    // Two channels at most fit a chunk buffer and the two output formats.
    if (!info || info->channels < 1 || info->channels > 2 || info->rate <= 0 || info->rate > INT32_MAX) {
        soundLogFormat("WARNING. Sound has %i channels, only mono and stereo play %s", info ? info->channels : 0,
                       name.c_str());
        close();
        return false;
    }
    if (total < 0 || total > static_cast<ogg_int64_t>(UINT32_MAX)) {
        soundLogFormat("WARNING. Sound length not readable %s", name.c_str());
        close();
        return false;
    }
    mChannels = info->channels;
    mRate = static_cast<int32_t>(info->rate);
    mTotalFrames = static_cast<uint32_t>(total);
    return true;
}

int SoundDecoder::decodeChunk(uint32_t firstFrame, uint32_t frameCount, void* destination, int capacity) {
    if (!mOpened || !destination || capacity <= 0) return 0;
    ov_pcm_seek(&mVorbis, firstFrame);
    int64_t wanted = static_cast<int64_t>(mChannels) * frameCount * 2;
    if (wanted > capacity) wanted = capacity;
    char* out = static_cast<char*>(destination);
    int total = 0;
    while (wanted > 0) {
        int section = 0;
        long got = ov_read(&mVorbis, out, static_cast<int>(wanted), 0 /* little endian */, 2, 1, &section);
        if (got <= 0) break;
        // A later link of a chained stream may have other channels; never
        // accept more than was asked.
        if (got > wanted) got = static_cast<long>(wanted);
        total += static_cast<int>(got);
        out += got;
        wanted -= got;
    }
    return total;
}

}  // namespace QV
