#pragma once

#include <pthread.h>
#include <theora/theora.h>

#include <cstdint>
#include <string>
#include <vector>

#include "shader_program.h"
#include "stopwatch.h"
#include "vector2.h"
#include "video_theora_reader.h"

namespace QV {

class File;
class Sprite;
class Texture;

// One plane of a decoded frame and the three textures it is shown through.
struct VideoPlane {
    enum Kind { kRgba = 0, kLuma = 1, kChroma = 2 };

    std::vector<uint8_t> pixels;  // rows back to back
    int32_t size = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    bool dirty = false;
    int kind = kRgba;
    int bytesPerPixel = 4;
    Texture* textures[3] = {nullptr, nullptr, nullptr};
    Sprite* sprites[3] = {nullptr, nullptr, nullptr};
    int current = 0;
    bool ready = false;
    bool shown = false;
};

// Plane 0 RGBA (CPU conversion), plane 1 luma, plane 2 interleaved U, V.
struct VideoFrameSet {
    VideoPlane planes[3];
};

// YUV 4:2:0 to RGBA bytes over width x height, chroma of each 2 x 2 block
// shared; rows are read through the frame's strides (which may be negative).
// False, with nothing written, when the frame is smaller than asked.
bool convertYuvToRgba(const yuv_buffer& frame, uint32_t width, uint32_t height, uint8_t* rgba);
// Luma rows into width x height bytes; chroma as U, V byte pairs over
// (width / 2) x (height / 2). False when the frame is smaller than asked.
bool copyYuvPlanes(const yuv_buffer& frame, uint32_t width, uint32_t height, uint8_t* luma, uint8_t* chroma);

// One Ogg Theora video being played: decoded on the streamer's thread at the
// stream's frame rate, uploaded and drawn on the main thread. With the
// "yuv2rgb" shader pair the luma and chroma planes go to the device and are
// converted while drawing; otherwise frames are converted to RGBA here.
class VideoSurface {
public:
    // clock: the time source of the play clock (null: the system's).
    explicit VideoSurface(const PerformanceCounter* clock = nullptr);
    ~VideoSurface();
    VideoSurface(const VideoSurface&) = delete;
    VideoSurface& operator=(const VideoSurface&) = delete;

    // Opens the video resource of package "default"; false when it is
    // missing or holds no playable Theora stream.
    bool open(const std::string& name);
    // Frees the decoder, the file, the planes and their textures.
    void close();

    // Decoding thread.
    void advance();
    void decodeFrame();
    // Called by the streamer's pass for a surface that must not advance.
    void pauseClock();
    // Called by the streamer's pass before advancing.
    void resumeClock();

    // Main thread.
    void uploadPlanes();
    void draw();
    void setPosition(const Vector2<float>& position);
    void setSize(const Vector2<float>& size);
    Vector2<float> frameSize();

    bool isPlaying();
    bool isEnded();
    // Ended, or closed by a decoding error: no frame will come any more.
    bool isFinished();
    float getTime();
    int32_t getFramesDecoded();
    bool isShaderMode() const { return mShaderMode; }
    float getFps() const { return mFps; }
    const std::string& getFileName() const { return mFileName; }

    // For checks: a copy of a plane's pixels and whether it waits for upload.
    std::vector<uint8_t> planePixels(int plane, bool* dirty = nullptr);
    // For checks: the plane's texture and sprite holding the newest frame.
    Texture* currentTexture(int plane);
    Sprite* currentSprite(int plane);

private:
    bool allocatePlane(int index, int kind, uint32_t width, uint32_t height);
    void createTextures(VideoPlane& plane);
    void releasePlane(VideoPlane& plane);
    void convertFrame(const yuv_buffer& frame);
    void drawShaded();
    bool clockStoppedAfterFirstFrame() const { return !mTimerRunning && mFramesDecoded > 0; }

    bool mShaderMode = false;
    VideoTheoraReader mReader;
    yuv_buffer mFrame;
    // Taken in this order (surface, texture, pixel) wherever more than one is held.
    pthread_mutex_t mSurfaceMutex;
    pthread_mutex_t mPixelMutex;
    pthread_mutex_t mTextureMutex;
    File* mFile = nullptr;
    VideoFrameSet mPlanes;
    int32_t mFramesDecoded = 0;
    bool mPlaying = false;
    bool mEnded = false;
    bool mTimerRunning = true;
    float mTime = 0.0f;
    float mPausedTime = 0.0f;
    float mFps = 0.0f;
    WTimer mClock;
    std::string mFileName;
    ShaderProgram mProgram;
};

}  // namespace QV
