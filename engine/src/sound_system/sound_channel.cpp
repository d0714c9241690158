#include "sound_channel.h"

#include <al.h>

#include "openal_check.h"
#include "sound_manager.h"
#include "sound_resource.h"

namespace QV {

void SoundChannel::create(SoundManager* manager, SoundResource* res) {
    mManager = manager;
    volume = 1.0f;
    lastQueued = -1;
    finished = false;
    age = 0;
    resource = res;
    hasSource = false;
    ALuint name = 0;
    alGenSources(1, &name);
    if (QV_AL_CHECK() || name == 0) return;
    source = name;
    alSourcef(source, AL_PITCH, 1.0f);
    QV_AL_CHECK();
    const ALfloat zero[3] = {0.0f, 0.0f, 0.0f};
    alSourcefv(source, AL_POSITION, zero);
    QV_AL_CHECK();
    alSourcefv(source, AL_VELOCITY, zero);
    QV_AL_CHECK();
    // Looping is done by wrapping around the chunks, never by OpenAL.
    alSourcei(source, AL_LOOPING, AL_FALSE);
    QV_AL_CHECK();
    hasSource = true;
    setVolume(1.0f);
}

bool SoundChannel::queueChunk(int index) {
    SoundChunk& chunk = resource->chunks[index];
    ++chunk.references;
    if (!chunk.uploaded && !chunk.upload()) {
        chunk.release();
        return false;
    }
    ALuint name = chunk.buffer;
    alSourceQueueBuffers(source, 1, &name);
    if (QV_AL_CHECK()) {
        chunk.release();
        return false;
    }
    return true;
}

void SoundChannel::start() {
    if (!hasSource) return;
    stopSource();
    if (!resource || resource->chunkCount() == 0) return;
    lastQueued = -1;
    int first = resource->chunkCount() < 2 ? resource->chunkCount() : 2;
    int queued = 0;
    bool failed = false;
    for (int i = 0; i < first && !failed; ++i) {
        ++lastQueued;
        if (queueChunk(i))
            ++queued;
        else
            failed = true;
    }
    if (!failed) {
        alSourcePlay(source);
        failed = QV_AL_CHECK();
    }
    if (failed) {
        // A source that never played can't unqueue: detach its buffers and
        // drop their references so none is left behind.
        alSourcei(source, AL_BUFFER, 0);
        QV_AL_CHECK();
        for (int i = 0; i < queued; ++i) resource->chunks[i].release();
        lastQueued = -1;
        return;
    }
    setVolume(volume);
}

void SoundChannel::setVolume(float v) {
    if (!hasSource) return;
    volume = v;
    float gain = SoundManager::applicationGainFactor() * mManager->masterGainLocked() *
                 mManager->getGroupVolume(resource ? resource->group : 0) * (resource ? resource->volume : 1.0f) *
                 v;
    if (!(gain > 0.0f)) gain = 0.0f;
    if (gain >= 1.0f) gain = 1.0f;
    alSourcef(source, AL_GAIN, gain);
    QV_AL_CHECK();
}

bool SoundChannel::isPlaying() {
    if (!hasSource || finished) return false;
    if (resource && resource->looped) return true;
    ALint state = AL_STOPPED;
    ALint queued = 0;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    QV_AL_CHECK();
    alGetSourcei(source, AL_BUFFERS_QUEUED, &queued);
    QV_AL_CHECK();
    return state == AL_PLAYING || queued > 0;
}

void SoundChannel::refill() {
    if (!hasSource || finished || !resource || resource->chunkCount() == 0) return;
    ALint processed = 0;
    alGetSourcei(source, AL_BUFFERS_PROCESSED, &processed);
    if (QV_AL_CHECK()) return;
    for (ALint i = 0; i < processed; ++i) {
        ALuint name = 0;
        alSourceUnqueueBuffers(source, 1, &name);
        if (QV_AL_CHECK()) return;
        if (SoundChunk* chunk = resource->findChunkByBuffer(name)) chunk->release();
    }
    ALint queued = 0;
    alGetSourcei(source, AL_BUFFERS_QUEUED, &queued);
    if (QV_AL_CHECK()) return;
    int count = resource->chunkCount();
    for (ALint i = queued; i < 2; ++i) {
        if (!resource->looped && lastQueued + 1 >= count) break;  // plays out
        lastQueued = (lastQueued + 1) % count;
        if (!queueChunk(lastQueued)) return;
    }
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    if (QV_AL_CHECK()) return;
    alGetSourcei(source, AL_BUFFERS_QUEUED, &queued);
    if (QV_AL_CHECK()) return;
    // Ran dry between two frames: carry on with what is queued now.
    if (state != AL_PLAYING && queued > 0) {
        alSourcePlay(source);
        QV_AL_CHECK();
    }
}

void SoundChannel::stopSource() {
    if (!hasSource) return;
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    if (QV_AL_CHECK()) return;
    if (state == AL_PLAYING || state == AL_PAUSED) {
        alSourceStop(source);
        if (QV_AL_CHECK()) return;
    }
    SoundChunk* setAside[2] = {nullptr, nullptr};
    int asideCount = 0;
    auto unqueue = [&](ALint count) {
        for (ALint i = 0; i < count; ++i) {
            ALuint name = 0;
            alSourceUnqueueBuffers(source, 1, &name);
            if (QV_AL_CHECK()) return;
            SoundChunk* chunk = resource ? resource->findChunkByBuffer(name) : nullptr;
            if (!chunk) continue;
            if (asideCount < 2)
                setAside[asideCount++] = chunk;
            else
                chunk->release();
        }
    };
    ALint count = 0;
    alGetSourcei(source, AL_BUFFERS_PROCESSED, &count);
    if (!QV_AL_CHECK()) unqueue(count);
    count = 0;
    alGetSourcei(source, AL_BUFFERS_QUEUED, &count);
    if (!QV_AL_CHECK()) unqueue(count);
    lastQueued = -1;
    alSourcei(source, AL_BUFFER, 0);
    QV_AL_CHECK();
    // A buffer is deleted only once the source no longer refers to it.
    for (int i = 0; i < asideCount; ++i) setAside[i]->release();
}

void SoundChannel::deleteSource() {
    if (!hasSource) return;
    ALuint name = source;
    alDeleteSources(1, &name);
    QV_AL_CHECK();
    source = 0;
    hasSource = false;
}

}  // namespace QV
