#include "video_player.h"

#include <unistd.h>

#include "input_manager.h"
#include "log_system.h"
#include "mouse_device.h"
#include "mutex_lock.h"
#include "render_system.h"
#include "sound_system/sound_manager.h"
#include "video_surface.h"
#include "video_surface_streamer.h"
#include "window_fit.h"

namespace QV {

namespace {

// The skip area's distance from the window's top-right corner, workspace units.
constexpr float kSkipMargin = 64.0f;

}  // namespace

VideoPlayer::VideoPlayer() { initRecursiveMutex(&mMutex); }

VideoPlayer::~VideoPlayer() {
    {
        MutexLock lock(&mMutex);
        for (uint32_t i = 0; i < mCount; ++i) endEntry(mEntries[i]);
        mCount = 0;
        mCurrent = -1;
    }
    pthread_mutex_destroy(&mMutex);
}

const VideoEntry* VideoPlayer::entry(int index) const {
    if (index < 0 || static_cast<uint32_t>(index) >= mCount) return nullptr;
    return &mEntries[index];
}

bool VideoPlayer::enqueue(const VideoEntry& entry) {
    MutexLock lock(&mMutex);
    if (mCount >= kMaxEntries) {
        logFormat("ERROR: VideoPlayer: queue full, '%s' not queued", entry.videoName.c_str());
        return false;
    }
    // Names are fixed 64-character records: a longer one would name another resource.
    if (entry.videoName.empty() || entry.videoName.size() >= VideoEntry::kNameLength ||
        entry.soundName.size() >= VideoEntry::kNameLength) {
        logFormat("ERROR: VideoPlayer: bad video or sound name '%s' '%s'", entry.videoName.c_str(),
                  entry.soundName.c_str());
        return false;
    }
    VideoEntry& slot = mEntries[mCount];
    slot = entry;
    slot.surface = nullptr;
    slot.soundId = 0;
    slot.soundHandle = 0;
    for (SubtitleItem& item : slot.subtitles.items) item.laidOut = false;
    ++mCount;
    return true;
}

void VideoPlayer::update() {
    MutexLock lock(&mMutex);
    if (mCurrent >= 0 && static_cast<uint32_t>(mCurrent) < mCount) updateSkipArea(mEntries[mCurrent]);
    if (mCount == 0) return;
    if (mCurrent < 0) {
        mCurrent = 0;
        startEntry(mEntries[0]);
    }
    fitEntry(mEntries[0]);
    // A surface closed by a decoding error never ends by itself.
    if (!mEntries[0].surface || mEntries[0].surface->isFinished()) {
        endEntry(mEntries[0]);
        removeFirst();
        mCurrent = -1;
    }
}

void VideoPlayer::startEntry(VideoEntry& entry) {
    SoundManager* sound = SoundManager::instancePointer();
    if (sound) sound->stopAll();
    VideoSurfaceStreamer* streamer = VideoSurfaceStreamer::instancePointer();
    entry.surface = streamer ? streamer->createSurface(entry.videoName) : nullptr;
    if (entry.surface) {
        entry.videoSize = entry.surface->frameSize();
        fitEntry(entry);
    } else {
        logFormat("ERROR: VideoPlayer: failed to open video '%s'", entry.videoName.c_str());
    }
    if (!entry.soundName.empty() && sound) {
        int id = sound->acquireResource(entry.soundName);
        if (id == 0) {
            SoundDescription description;
            description.fileName = entry.soundName;
            description.group = 0;
            description.volume = 1.0f;
            description.looped = false;
            description.priority = 0;
            id = sound->loadResource(description);
        }
        entry.soundId = id;
        if (id != 0) entry.soundHandle = sound->play(id);
    }
}

void VideoPlayer::endEntry(VideoEntry& entry) {
    entry.subtitles.releaseFont();
    entry.subtitles.items.clear();
    if (entry.surface) {
        if (VideoSurfaceStreamer* streamer = VideoSurfaceStreamer::instancePointer()) streamer->removeSurface(entry.surface);
        entry.surface = nullptr;
    }
    if (entry.soundHandle != 0) {
        if (SoundManager* sound = SoundManager::instancePointer()) sound->stop(entry.soundHandle);
    }
    entry.soundHandle = 0;
}

void VideoPlayer::removeFirst() {
    if (mCount == 0) return;
    for (uint32_t i = 1; i < mCount; ++i) mEntries[i - 1] = mEntries[i];
    mEntries[mCount - 1] = VideoEntry();
    --mCount;
}

void VideoPlayer::dropCurrent() {
    if (mCurrent < 0) return;
    endEntry(mEntries[0]);
    removeFirst();
    mCurrent = -1;
}

void VideoPlayer::fitEntry(VideoEntry& entry) {
    RenderSystem* render = RenderSystem::instancePointer();
    if (!entry.surface || !render) return;
    const Vector2<int> workspace = render->getWorkspaceSize();
    Vector2<float> fitSize, fitOffset;
    float fitScale = 1.0f;
    computeWorkspaceFit(entry.videoSize, Vector2<float>(float(workspace.x), float(workspace.y)), 0, 1.0f, 1.33f,
                        fitSize, fitOffset, fitScale);
    // One unit over every edge hides the filtered border of the frame.
    entry.surface->setPosition(Vector2<float>(fitOffset.x - 1.0f, fitOffset.y - 1.0f));
    entry.surface->setSize(Vector2<float>(fitSize.x + 2.0f, fitSize.y + 2.0f));
}

void VideoPlayer::updateSkipArea(VideoEntry& entry) {
    mSkipHover = false;
    RenderSystem* render = RenderSystem::instancePointer();
    InputManager* input = InputManager::instancePointer();
    MouseDevice* mouse = input ? input->getMouse() : nullptr;
    if (!render) return;
    Vector2<float> fitSize, fitOffset;
    float fitScale = 1.0f;
    render->getWorkspaceFit(fitSize, fitOffset, fitScale);
    if (fitScale <= 0.0f) fitScale = 1.0f;
    const float width = float(render->getWorkspaceSize().x);
    entry.skipPos.x = width - kSkipMargin - entry.skipSize.x + fitOffset.x / fitScale;
    entry.skipPos.y = kSkipMargin - fitOffset.y / fitScale;
    if (!mouse) return;
    const Vector2<int> window = mouse->getPosition();
    const Vector2<int> at = render->screenToWorkspace(window.x, window.y);
    const float x = float(at.x);
    const float y = float(at.y);
    mSkipHover = x > entry.skipPos.x && x < entry.skipPos.x + entry.skipSize.x && y > entry.skipPos.y &&
                 y < entry.skipPos.y + entry.skipSize.y;
    if (mSkipHover && (mouse->isLeftPressed() || mouse->isRightPressed())) dropCurrent();
}

void VideoPlayer::renderBlocking() {
    if (mCurrent < 0) return;
    RenderSystem* render = RenderSystem::instancePointer();
    if (!render) return;
    render->beginFrame();
    MutexLock lock(&mMutex);
    if (mCurrent >= 0 && static_cast<uint32_t>(mCurrent) < mCount) drawEntry(mEntries[mCurrent]);
    render->endFrame();
    if (render->present() != 0) render->setDeviceLost(true);
    usleep(16 * 1000);
}

void VideoPlayer::drawEntry(VideoEntry& entry) {
    if (entry.surface) {
        entry.surface->draw();
        entry.subtitles.time = entry.surface->getTime();
    }
    entry.subtitles.draw();
    drawSkipLabel(entry);
}

SubtitleItem* SubtitleTrack::currentItem() {
    for (SubtitleItem& item : items) {
        if (item.start <= time && time < item.end) return &item;
    }
    return nullptr;
}

}  // namespace QV
