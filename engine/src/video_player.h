#pragma once

#include <pthread.h>

#include <cstdint>
#include <string>
#include <vector>

#include "color.h"
#include "singleton.h"
#include "vector2.h"

namespace QV {

class UIFont;
class VideoSurface;

// One timed caption.
struct SubtitleItem {
    std::u16string text;  // empty shows nothing
    float start = 0.0f;
    float end = 0.0f;
    bool laidOut = false;
    Vector2<float> position;
    Vector2<float> boxSize;
    float measured[4] = {0.0f, 0.0f, 0.0f, 0.0f};
};

// Timed captions over a video, drawn in a box with a font.
struct SubtitleTrack {
    std::vector<SubtitleItem> items;
    float time = 0.0f;  // the video time, set before each draw
    Vector2<float> position;
    Vector2<float> size;
    UIFont* font = nullptr;  // one reference, released with the entry
    Vector2<float> scale;
    int hAlign = 0;
    int vAlign = 0;
    bool wrap = false;
    Color color;
    bool useStyle = false;

    // The item shown at the track's time, or null.
    SubtitleItem* currentItem();
    void draw();
    // Gives the font's reference back to the font manager.
    void releaseFont();
};

// A queued video with its sound track, captions and skip area.
struct VideoEntry {
    static constexpr size_t kNameLength = 64;  // with the terminating zero

    std::string videoName;  // resource in package "default"
    std::string soundName;  // empty for none
    SubtitleTrack subtitles;
    VideoSurface* surface = nullptr;
    int soundId = 0;
    int soundHandle = 0;
    std::u16string labelText;
    UIFont* labelFont = nullptr;  // no font, no label
    Color labelColor = Color::fromBytes(255, 255, 255, 255);
    int labelHAlign = 1;
    int labelVAlign = 1;
    bool labelWrap = false;
    Vector2<float> labelScale;
    Vector2<float> skipPos;
    Vector2<float> skipSize;  // 0: no skip area
    Vector2<float> videoSize;
};

// The full-screen video player: a queue of up to eight entries played one
// after another in place of the game while the queue is not empty.
class VideoPlayer : public Singleton<VideoPlayer> {
public:
    static constexpr int kMaxEntries = 8;

    VideoPlayer();
    ~VideoPlayer() override;

    // Adds an entry to the end of the queue; false (logged) when the queue
    // is full or a name is empty or too long. The subtitle font reference
    // passes to the player.
    bool enqueue(const VideoEntry& entry);

    // Frame hooks.
    void update();
    void renderBlocking();

    int entryCount() const { return static_cast<int>(mCount); }
    bool isPlaying() const { return entryCount() != 0; }
    int currentIndex() const { return mCurrent; }
    bool isSkipHovered() const { return mSkipHover; }
    // The entry at a queue position (0 = current), or null.
    const VideoEntry* entry(int index) const;

private:
    void startEntry(VideoEntry& entry);
    void endEntry(VideoEntry& entry);
    void removeFirst();
    void dropCurrent();
    void fitEntry(VideoEntry& entry);
    void updateSkipArea(VideoEntry& entry);
    void drawEntry(VideoEntry& entry);
    void drawSkipLabel(VideoEntry& entry);

    VideoEntry mEntries[kMaxEntries];
    uint32_t mCount = 0;
    int mCurrent = -1;
    pthread_mutex_t mMutex;
    bool mSkipHover = false;
};

}  // namespace QV
