#include "video_surface.h"

#include <cstring>

#include "file.h"
#include "file_system.h"
#include "log_system.h"
#include "mutex_lock.h"
#include "render_system.h"

namespace QV {

VideoSurface::VideoSurface(const PerformanceCounter* clock) : mClock(clock) {
    std::memset(&mFrame, 0, sizeof(mFrame));
    initRecursiveMutex(&mSurfaceMutex);
    initRecursiveMutex(&mPixelMutex);
    initRecursiveMutex(&mTextureMutex);
    if (RenderSystem* render = RenderSystem::instancePointer()) {
        const bool pixel = render->createYuvPixelShader(&mProgram) == 0;
        const bool vertex = render->createYuvVertexShader(&mProgram.mVertexShader) == 0;
        mProgram.mUsable = pixel && vertex ? 1 : 0;
    }
    mShaderMode = mProgram.mUsable != 0;
    mPlanes.planes[0].kind = VideoPlane::kRgba;
    mPlanes.planes[1].kind = VideoPlane::kLuma;
    mPlanes.planes[2].kind = VideoPlane::kChroma;
}

VideoSurface::~VideoSurface() {
    close();
    if (RenderSystem* render = RenderSystem::instancePointer()) render->deleteShaderProgram(&mProgram);
    pthread_mutex_destroy(&mTextureMutex);
    pthread_mutex_destroy(&mPixelMutex);
    pthread_mutex_destroy(&mSurfaceMutex);
}

bool VideoSurface::open(const std::string& name) {
    MutexLock lock(&mSurfaceMutex);
    close();
    mFileName = name;
    FileSystem* files = FileSystem::instancePointer();
    mFile = files ? files->open("default", name) : nullptr;
    if (!mFile) return false;
    if (!mReader.open(mFile)) {
        close();
        return false;
    }
    mTime = 0.0f;
    mPausedTime = 0.0f;
    mFramesDecoded = 0;
    mPlaying = true;
    mEnded = false;
    mTimerRunning = true;
    mFps = mReader.fps();
    mClock.reset();

    // The full coded frame; the picture window inside it is not used.
    const uint32_t width = mReader.frameWidth();
    const uint32_t height = mReader.frameHeight();
    if (mShaderMode) {
        if (!allocatePlane(1, VideoPlane::kLuma, width, height) ||
            !allocatePlane(2, VideoPlane::kChroma, width / 2, height / 2)) {
            close();
            return false;
        }
        createTextures(mPlanes.planes[1]);
        createTextures(mPlanes.planes[2]);
    } else {
        if (!allocatePlane(0, VideoPlane::kRgba, width, height)) {
            close();
            return false;
        }
        createTextures(mPlanes.planes[0]);
    }
    return true;
}

bool VideoSurface::allocatePlane(int index, int kind, uint32_t width, uint32_t height) {
    MutexLock lock(&mPixelMutex);
    VideoPlane& plane = mPlanes.planes[index];
    plane.kind = kind;
    plane.bytesPerPixel = kind == VideoPlane::kRgba ? 4 : (kind == VideoPlane::kLuma ? 1 : 2);
    plane.width = width;
    plane.height = height;
    const uint64_t bytes = uint64_t(width) * height * uint32_t(plane.bytesPerPixel);
    if (bytes == 0 || bytes > 0x7FFFFFFF) return false;
    plane.pixels.assign(static_cast<size_t>(bytes), 0);
    plane.size = static_cast<int32_t>(bytes);
    plane.dirty = false;
    plane.shown = false;
    plane.current = 0;
    return true;
}

void VideoSurface::close() {
    MutexLock surfaceLock(&mSurfaceMutex);
    MutexLock textureLock(&mTextureMutex);
    MutexLock pixelLock(&mPixelMutex);
    mReader.clear();
    std::memset(&mFrame, 0, sizeof(mFrame));
    if (mFile) {
        mFile->close();
        delete mFile;
        mFile = nullptr;
    }
    for (VideoPlane& plane : mPlanes.planes) releasePlane(plane);
    mPlaying = false;
    mEnded = false;
}

void VideoSurface::pauseClock() {
    MutexLock lock(&mSurfaceMutex);
    if (mTimerRunning) mPausedTime += mClock.getElapsed();
    mTimerRunning = false;
}

void VideoSurface::resumeClock() {
    MutexLock lock(&mSurfaceMutex);
    if (mTimerRunning) return;
    mClock.reset();
    mTimerRunning = true;
}

void VideoSurface::advance() {
    MutexLock lock(&mSurfaceMutex);
    if (!mPlaying || mEnded) return;
    if (!mTimerRunning && mFramesDecoded != 0) return;
    mTime = mClock.getElapsed() + mPausedTime;
    if (static_cast<float>(mFramesDecoded) < mTime * mFps) decodeFrame();
}

void VideoSurface::decodeFrame() {
    MutexLock lock(&mSurfaceMutex);
    if (!mPlaying || mEnded || clockStoppedAfterFirstFrame()) return;
    {
        // One frame waits for its upload at a time.
        MutexLock pixelLock(&mPixelMutex);
        const int first = mShaderMode ? 1 : 0;
        const int last = mShaderMode ? 2 : 0;
        for (int i = first; i <= last; ++i) {
            if (mPlanes.planes[i].dirty) return;
        }
    }
    switch (mReader.decodeFrame(&mFrame)) {
        case VideoTheoraReader::Result::Frame:
            convertFrame(mFrame);
            ++mFramesDecoded;
            break;
        case VideoTheoraReader::Result::End:
            mEnded = true;
            break;
        case VideoTheoraReader::Result::Error:
            logFormat("ERROR: VideoSurface: bad frame in '%s', video closed", mFileName.c_str());
            close();
            break;
    }
}

void VideoSurface::convertFrame(const yuv_buffer& frame) {
    MutexLock lock(&mPixelMutex);
    if (mShaderMode) {
        VideoPlane& luma = mPlanes.planes[1];
        VideoPlane& chroma = mPlanes.planes[2];
        if (copyYuvPlanes(frame, luma.width, luma.height, luma.pixels.data(), chroma.pixels.data())) {
            luma.dirty = true;
            chroma.dirty = true;
        }
    } else {
        VideoPlane& rgba = mPlanes.planes[0];
        if (convertYuvToRgba(frame, rgba.width, rgba.height, rgba.pixels.data())) rgba.dirty = true;
    }
}

bool VideoSurface::isPlaying() {
    MutexLock lock(&mSurfaceMutex);
    return mPlaying;
}

bool VideoSurface::isEnded() {
    MutexLock lock(&mSurfaceMutex);
    return mEnded;
}

bool VideoSurface::isFinished() {
    MutexLock lock(&mSurfaceMutex);
    return mEnded || !mPlaying;
}

float VideoSurface::getTime() {
    MutexLock lock(&mSurfaceMutex);
    return mTime;
}

int32_t VideoSurface::getFramesDecoded() {
    MutexLock lock(&mSurfaceMutex);
    return mFramesDecoded;
}

std::vector<uint8_t> VideoSurface::planePixels(int plane, bool* dirty) {
    MutexLock lock(&mPixelMutex);
    if (plane < 0 || plane > 2) return {};
    if (dirty) *dirty = mPlanes.planes[plane].dirty;
    return mPlanes.planes[plane].pixels;
}

}  // namespace QV
