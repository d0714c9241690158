#include "sound_chunk.h"

#include <al.h>

#include "openal_check.h"
#include "sound_resource.h"

namespace QV {

bool SoundChunk::upload() {
    if (uploaded) return true;
    if (!owner) return false;
    unsigned char pcm[kSoundChunkBytes];
    SoundDecoder& decoder = owner->decoder;
    int decoded = decoder.decodeChunk(firstFrame, frames, pcm, sizeof(pcm));
    int frameBytes = decoder.channels() * 2;
    if (frameBytes > 0) decoded -= decoded % frameBytes;  // whole frames only
    ALuint name = 0;
    alGenBuffers(1, &name);
    if (QV_AL_CHECK() || name == 0) return false;
    ALenum format = decoder.channels() == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;
    alBufferData(name, format, pcm, decoded, decoder.rate());
    QV_AL_CHECK();
    buffer = name;
    bytes = decoded;
    uploaded = true;
    return true;
}

void SoundChunk::release() {
    --references;
    if (references <= 0) {
        references = 0;
        destroy();
    }
}

void SoundChunk::destroy() {
    if (!uploaded) return;
    ALuint name = buffer;
    alDeleteBuffers(1, &name);
    QV_AL_CHECK();
    buffer = 0;
    bytes = 0;
    uploaded = false;
}

}  // namespace QV
