// The shut-down order, seen from the outside: this program replaces the global
// operator new and delete and records, while asked to, the address of every
// block given back. Each manager is found in that record by its address, so
// the test sees the real deletions, not a list kept beside them.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <new>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "application.h"
#include "benchmarker.h"
#include "config_manager.h"
#include "engine_allocators.h"
#include "engine_notification_dispatcher.h"
#include "file_system.h"
#include "font.h"
#include "function.h"
#include "input_manager.h"
#include "job.h"
#include "job_manager.h"
#include "lex_binded_function_manager.h"
#include "log_system.h"
#include "object_factory.h"
#include "particle_system.h"
#include "render_system.h"
#include "resource_group_manager.h"
#include "sound_system/sound_manager.h"
#include "sprite_manager.h"
#include "support/media_fixture.h"
#include "support/temp_dir.h"
#include "texture_manager.h"
#include "timer_manager.h"
#include "ui/text_manager.h"
#include "ui/ui_font_manager.h"
#include "ui/ui_manager.h"
#include "video_player.h"
#include "video_surface_streamer.h"
#include "xml_cached_files_manager.h"

namespace {

constexpr int kFreedCapacity = 1 << 20;
void* gFreed[kFreedCapacity];
std::atomic<int> gFreedCount{0};
std::atomic<bool> gRecording{false};

void* allocate(std::size_t size) {
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

void release(void* p) noexcept {
    if (p && gRecording.load(std::memory_order_relaxed)) {
        const int at = gFreedCount.fetch_add(1, std::memory_order_relaxed);
        if (at < kFreedCapacity) gFreed[at] = p;
    }
    std::free(p);
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { release(p); }

namespace {

struct Tracked {
    std::string name;
    const void* address;
};

template <class T>
Tracked tracked(const char* name, T* object) {
    if constexpr (std::is_polymorphic_v<T>) return {name, dynamic_cast<const void*>(object)};
    else return {name, object};
}

// Where the block at `address` was given back first, -1 when it was not.
int freedAt(const void* address) {
    const int count = std::min(gFreedCount.load(), kFreedCapacity);
    for (int i = 0; i < count; ++i) {
        if (gFreed[i] == address) return i;
    }
    return -1;
}

std::atomic<bool> gSlowJobDone{false};
void slowJob() {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    gSlowJobDone = true;
}

class ShutDownApplication : public Application {
public:
    void destroy() override {
        jobDoneAtDestroy = gSlowJobDone.load();
        freedAtDestroy = gFreedCount.load();
    }
    bool jobDoneAtDestroy = false;
    int freedAtDestroy = -1;
};

TEST(ApplicationShutDown, WaitsForJobsThenDestroysThenDeletesManagersInOrder) {
    qvtest::TempDir dir;
    qvtest::ScopedChdir cd(dir.path());
    qvtest::writeMedia(dir.file("media"), {});
    QV::gContentDirectory = "./media/";

    auto* app = new ShutDownApplication();
    gSlowJobDone = false;
    QV::Singleton<QV::JobManager>::instance()->addJob(new QV::Function<ShutDownApplication>(&slowJob))->start();

    std::vector<Tracked> order;
    if (QV::Font* font = app->getDebugFont()) order.push_back(tracked("debug font", font));
    order.push_back(tracked("VideoPlayer", QV::Singleton<QV::VideoPlayer>::instance()));
    order.push_back(tracked("VideoSurfaceStreamer", QV::Singleton<QV::VideoSurfaceStreamer>::instance()));
    order.push_back(tracked("UIManager", QV::Singleton<QV::UIManager>::instance()));
    order.push_back(tracked("UIFontManager", QV::Singleton<QV::UIFontManager>::instance()));
    order.push_back(tracked("ParticleSystem", QV::Singleton<QV::ParticleSystem>::instance()));
    order.push_back(tracked("SpriteManager<Sprite>", QV::Singleton<QV::SpriteManager<QV::Sprite>>::instance()));
    order.push_back(tracked("SpriteManager<FastSprite>", QV::Singleton<QV::SpriteManager<QV::FastSprite>>::instance()));
    order.push_back(tracked("TextureManager", QV::Singleton<QV::TextureManager>::instance()));
    order.push_back(tracked("SoundManager", QV::Singleton<QV::SoundManager>::instance()));
    order.push_back(tracked("RenderSystem", QV::Singleton<QV::RenderSystem>::instance()));
    order.push_back(tracked("ResourceGroupManager", QV::Singleton<QV::ResourceGroupManager>::instance()));
    order.push_back(tracked("InputManager", QV::Singleton<QV::InputManager>::instance()));
    order.push_back(tracked("ConfigManager", QV::Singleton<QV::ConfigManager>::instance()));
    order.push_back(tracked("FileSystem", QV::Singleton<QV::FileSystem>::instance()));
    order.push_back(tracked("TextManager", QV::Singleton<QV::TextManager>::instance()));
    order.push_back(tracked("TimerManager", QV::Singleton<QV::TimerManager>::instance()));
    order.push_back(tracked("JobManager", QV::Singleton<QV::JobManager>::instance()));
    order.push_back(tracked("ObjectFactory", QV::Singleton<QV::ObjectFactory>::instance()));
    order.push_back(tracked("LogSystem", QV::Singleton<QV::LogSystem>::instance()));
    order.push_back(tracked("LexBindedFunctionManager", QV::Singleton<QV::LexBindedFunctionManager>::instance()));
    order.push_back(tracked("XmlCachedFilesManager", QV::Singleton<QV::XmlCachedFilesManager>::instance()));
    order.push_back(tracked("EngineAllocators", QV::Singleton<QV::EngineAllocators>::instance()));
    order.push_back(tracked("Benchmarker", QV::Singleton<QV::Benchmarker>::instance()));
    order.push_back(
        tracked("EngineNotificationDispatcher", QV::Singleton<QV::EngineNotificationDispatcher>::instance()));

    gFreedCount = 0;
    gRecording = true;
    app->shutDown();
    gRecording = false;

    EXPECT_TRUE(app->jobDoneAtDestroy) << "the game was destroyed while a job still ran";
    int previous = app->freedAtDestroy - 1;
    std::string previousName = "Application::destroy";
    for (const Tracked& t : order) {
        const int at = freedAt(t.address);
        ASSERT_GE(at, 0) << t.name << " was not deleted";
        EXPECT_GT(at, previous) << t.name << " was deleted before " << previousName;
        previous = at;
        previousName = t.name;
    }
    EXPECT_EQ(QV::Singleton<QV::EngineNotificationDispatcher>::instancePointer(), nullptr);
    EXPECT_EQ(QV::Singleton<QV::SoundManager>::instancePointer(), nullptr);
    delete app;
}

}  // namespace
