// Ids, handles, the queue of sound effects, the "SoundResources" table and the
// inert mode of the sound manager.
#include <set>
#include <thread>

#include "sound_test_fixture.h"

namespace {

using soundtest::SoundTest;

const char* const kNotQueued = "ERROR: SoundManager::createSound Sound can not be queued";

// The own volumes of the given handles are the ranks 1.0, 0.8, ... in order.
void expectRanked(QV::SoundManager& manager, const std::vector<int>& handles) {
    for (size_t rank = 0; rank < handles.size(); ++rank)
        EXPECT_NEAR(manager.getChannel(handles[rank])->volume, 1.0f - 0.2f * rank, 1e-6) << handles[rank];
}

TEST_F(SoundTest, QueueOfFiveRefusesTheSixthEqualEffect) {
    addTone("fx", 20000);
    addTone("music", 20000);
    addTone("urgent", 20000);
    startManager();
    int fx = load("fx");
    std::vector<int> handles;
    for (int i = 0; i < 5; ++i) handles.push_back(mManager->play(fx));
    EXPECT_EQ(handles, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(mManager->play(fx), 0);
    EXPECT_EQ(countInLog(kNotQueued), 1);
    // Music is never queued.
    EXPECT_EQ(mManager->play(load("music", 1)), 6);
    EXPECT_EQ(mManager->queuedHandles(), (std::vector<int>{5, 4, 3, 2, 1}));

    // A higher priority gets in, goes first, and the oldest effect is cut.
    int urgent = mManager->play(load("urgent", 0, 1.0f, false, 1000));
    EXPECT_EQ(urgent, 7);
    EXPECT_EQ(mManager->queuedHandles(), (std::vector<int>{7, 5, 4, 3, 2}));
    expectRanked(*mManager, {7, 5, 4, 3, 2});
    QV::SoundChannel* cut = mManager->getChannel(1);
    ASSERT_NE(cut, nullptr);  // keeps its handle until reclaimed
    EXPECT_FALSE(cut->hasSource);
    EXPECT_FALSE(mManager->isPlaying(1));
    EXPECT_EQ(mManager->stop(1), 0);
    EXPECT_EQ(mManager->setVolume(1, 0.5f), 0);
    EXPECT_EQ(countInLog("OpenAL Error"), 0) << log();
}

TEST_F(SoundTest, QueueOfEqualPrioritiesRanksByRecency) {
    addTone("fx", 20000);
    startManager();
    int fx = load("fx", 0, 1.0f, false, 5);
    for (int i = 0; i < 5; ++i) mManager->play(fx);
    expectRanked(*mManager, {5, 4, 3, 2, 1});
    EXPECT_EQ(mManager->play(fx), 6);
    EXPECT_EQ(mManager->queuedHandles(), (std::vector<int>{6, 5, 4, 3, 2}));
    expectRanked(*mManager, {6, 5, 4, 3, 2});
    // Keys use the own volumes of the moment: a louder set volume moves a sound
    // up at the next start, and the ranking then overwrites it.
    mManager->setVolume(3, 0.9f);
    EXPECT_EQ(mManager->play(fx), 7);
    EXPECT_EQ(mManager->queuedHandles(), (std::vector<int>{7, 6, 3, 5, 4}));
    expectRanked(*mManager, {7, 6, 3, 5, 4});
    for (int cut : {1, 2}) {
        EXPECT_FALSE(mManager->isPlaying(cut));
        EXPECT_NE(mManager->getChannel(cut), nullptr);
    }
    for (int i = 0; i < 7; ++i) mManager->update();
    EXPECT_EQ(mManager->getChannel(1), nullptr);
    EXPECT_EQ(mManager->getChannel(2), nullptr);
    EXPECT_TRUE(mManager->isPlaying(6));
}

// A stopped sound leaves the queue at once, so the next effect is not refused.
TEST_F(SoundTest, StoppedEffectsLeaveTheQueueAtOnce) {
    addTone("fx", 20000);
    startManager();
    int fx = load("fx");
    for (int i = 0; i < 5; ++i) mManager->play(fx);
    EXPECT_EQ(mManager->stop(3), 0);
    EXPECT_EQ(mManager->queuedHandles(), (std::vector<int>{5, 4, 2, 1}));
    EXPECT_GT(mManager->play(fx), 0);
    mManager->stopAll();
    EXPECT_TRUE(mManager->queuedHandles().empty());
    for (int i = 0; i < 5; ++i) EXPECT_GT(mManager->play(fx), 0) << i;
    EXPECT_EQ(countInLog(kNotQueued), 0);
}

TEST_F(SoundTest, HandlesRunOutAfter63AndComeBackInSearchOrder) {
    startManager();
    int id = load("missing_loop", 1, 1.0f, true);  // no data, looped: stays playing
    ASSERT_GT(id, 0);
    for (int i = 1; i <= 63; ++i) ASSERT_EQ(mManager->play(id), i);
    EXPECT_EQ(mManager->play(id), 0);
    EXPECT_EQ(countInLog("ERROR: SoundManager::createSound Can't play sound"), 1);

    mManager->stop(40);
    mManager->stop(10);
    for (int i = 0; i < 7; ++i) mManager->update();
    EXPECT_EQ(mManager->getChannel(10), nullptr);
    EXPECT_NE(mManager->getChannel(11), nullptr);
    // The search starts after the handle given last (63) and wraps past 0.
    EXPECT_EQ(mManager->play(id), 10);
    EXPECT_EQ(mManager->play(id), 40);
    EXPECT_EQ(mManager->play(id), 0);
}

TEST_F(SoundTest, SilentChannelsAreReclaimedAfterSixUpdates) {
    addTone("blip", 100);
    startManager();
    struct Case {
        const char* name;
        bool looped;
        int reclaimedAt;  // update number, 0 never
    } cases[] = {{"missing", false, 7}, {"missing_looped", true, 0}, {"blip", false, 7}};
    for (const Case& c : cases) {
        int handle = mManager->play(load(c.name, 1, 1.0f, c.looped));
        ASSERT_GT(handle, 0) << c.name;
        int reclaimed = 0;
        for (int update = 1; update <= 20 && !reclaimed; ++update) {
            render(256, 256);  // one update per block
            if (!mManager->getChannel(handle)) reclaimed = update;
        }
        EXPECT_EQ(reclaimed, c.reclaimedAt) << c.name;
        mManager->stopAll();
        for (int i = 0; i < 7; ++i) mManager->update();
    }
    EXPECT_EQ(countInLog("WARNING. Sound not found missing"), 2);
}

TEST_F(SoundTest, ResourcesAreCountedByName) {
    addTone("tone", 20000);
    startManager();
    int id = load("tone", 1, 0.5f);
    ASSERT_EQ(id, 1);
    EXPECT_EQ(load("tone", 2, 1.0f), 0);  // registered already: the first stays
    EXPECT_EQ(mManager->getResource(id)->group, 1);
    EXPECT_FLOAT_EQ(mManager->getResource(id)->volume, 0.5f);
    EXPECT_EQ(mManager->acquireResource("tone"), id);
    EXPECT_EQ(mManager->getResource(id)->references, 2);
    EXPECT_EQ(mManager->acquireResource("other"), 0);

    int handle = mManager->play(id);
    mManager->releaseResource(id);
    EXPECT_TRUE(mManager->isPlaying(handle));
    mManager->releaseResource(id);  // the last reference stops its sounds
    EXPECT_EQ(mManager->getResource(id), nullptr);
    EXPECT_EQ(mManager->getChannel(handle), nullptr);
    EXPECT_EQ(mManager->acquireResource("tone"), 0);
    EXPECT_EQ(load("tone"), 2);  // a freed id is the last to come back

    // playByName registers with the default description and adds no reference.
    int byName = mManager->playByName("tone_by_name");
    EXPECT_GT(byName, 0);
    int named = mManager->acquireResource("tone_by_name");
    EXPECT_EQ(named, 3);
    EXPECT_EQ(mManager->getResource(named)->references, 2);
    EXPECT_EQ(mManager->getResource(named)->group, 0);

    // The looped flag set after a start applies to that sound at once.
    EXPECT_TRUE(mManager->setResourceLooped(2, true));
    EXPECT_TRUE(mManager->getResource(2)->looped);
    EXPECT_FALSE(mManager->setResourceLooped(9, true));
}

TEST_F(SoundTest, IdsWrapAroundAfterAllHaveBeenUsed) {
    startManager();
    testing::internal::CaptureStdout();  // a thousand "not found" lines
    for (int i = 1; i <= 1023; ++i) ASSERT_EQ(load("missing" + std::to_string(i)), i);
    EXPECT_EQ(load("one_too_many"), 0);
    mManager->releaseResource(500);
    mManager->releaseResource(7);
    EXPECT_EQ(load("again_a"), 7);
    EXPECT_EQ(load("again_b"), 500);
    EXPECT_EQ(load("again_c"), 0);
    testing::internal::GetCapturedStdout();
}

TEST_F(SoundTest, OutOfRangeIdsAndHandlesAreRefused) {
    addTone("tone", 1000);
    startManager();
    int id = load("tone");
    int handle = mManager->play(id);
    ASSERT_EQ(handle, 1);
    for (int bad : {0, -1, 64, 1000, -2147483647}) {
        EXPECT_EQ(mManager->stop(bad), 1) << bad;
        EXPECT_EQ(mManager->setVolume(bad, 0.5f), 1) << bad;
        EXPECT_FALSE(mManager->isPlaying(bad)) << bad;
        EXPECT_EQ(mManager->getChannel(bad), nullptr) << bad;
    }
    EXPECT_EQ(mManager->stop(2), 1);  // in range, but no sound
    for (int bad : {0, -1, 1024, 5000, -2147483647}) {
        EXPECT_EQ(mManager->play(bad), 0) << bad;
        mManager->releaseResource(bad);
        mManager->unloadResource(bad);
        EXPECT_EQ(mManager->getResource(bad), nullptr) << bad;
    }
    EXPECT_EQ(countInLog("Bad sound resource ptr"), 0);
    EXPECT_EQ(mManager->play(5), 0);  // in range, unused
    EXPECT_EQ(countInLog("WARNING: SoundManager::createSound Bad sound resource ptr!"), 1);
    EXPECT_EQ(mManager->getResource(id)->references, 1);
}

TEST_F(SoundTest, SoundResourcesTable) {
    addTone("a_sound", 1000);
    addFile("sound_resources_lua",
            "SoundResources = {\n"
            "  { filename = 'a_sound', volume = 0.5, group = 1, looped = 1, priority = 11 },\n"
            "  plain = { filename = 'b_sound' },\n"
            "  { filename = 'c_sound', volume = 'x', group = '2', looped = true, priority = 2.9 },\n"
            "  { filename = 'a_sound', volume = 0.1 },\n"
            "  { volume = 0.3 },\n"
            "  { filename = '' },\n"
            "  'not a table',\n"
            "}\n");
    addFile("no_table_lua", "Something = {}\n");
    addFile("broken_lua", "SoundResources = {\n");
    startManager();
    EXPECT_TRUE(mManager->loadSoundResources("sound_resources_lua", "default"));
    struct Expect {
        const char* name;
        float volume;
        int group;
        bool looped;
        int priority;
    } expected[] = {
        {"a_sound", 0.5f, 1, true, 11},
        {"b_sound", 1.0f, 0, false, 0},
        {"c_sound", 1.0f, 2, false, 2},
    };
    for (const Expect& e : expected) {
        int id = mManager->acquireResource(e.name);
        ASSERT_GT(id, 0) << e.name;
        QV::SoundResource* r = mManager->getResource(id);
        EXPECT_FLOAT_EQ(r->volume, e.volume) << e.name;
        EXPECT_EQ(r->group, e.group) << e.name;
        EXPECT_EQ(r->looped, e.looped) << e.name;
        EXPECT_EQ(r->priority, e.priority) << e.name;
        EXPECT_EQ(r->references, 2) << e.name;
    }
    EXPECT_EQ(mManager->acquireResource(""), 0);
    EXPECT_EQ(mManager->getResource(4), nullptr);  // nothing else registered
    EXPECT_FALSE(mManager->loadSoundResources("no_table_lua", "default"));
    EXPECT_FALSE(mManager->loadSoundResources("broken_lua", "default"));
    EXPECT_FALSE(mManager->loadSoundResources("absent_lua", "default"));
}

// Loads racing on one name give one resource; distinct names distinct ids.
TEST_F(SoundTest, ConcurrentLoadsKeepOneResourcePerNameAndId) {
    addTone("tone", 20000);
    startManager();
    std::vector<int> ids(8, -1);
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([&, i] { ids[i] = load(i % 2 ? "tone" : "missing" + std::to_string(i)); });
    for (std::thread& t : threads) t.join();
    int toneIds = 0;
    std::set<int> distinct;
    for (int i = 0; i < 8; ++i) {
        if (i % 2) {
            toneIds += ids[i] > 0;
        } else {
            EXPECT_GT(ids[i], 0);
        }
        if (ids[i] > 0) distinct.insert(ids[i]);
    }
    EXPECT_EQ(toneIds, 1);
    EXPECT_EQ(distinct.size(), 5u);
}

// Without a device every operation answers failure, touches nothing and logs
// nothing after the one line about the device.
TEST_F(SoundTest, InertWithoutDevice) {
    addTone("tone", 1000);
    addFile("sound_resources_lua", "SoundResources = { { filename = 'tone' } }\n");
    QV::SoundOutput output = loopback();
    output.sampleRate = 0;  // no context can be made for it
    startManager(output);
    EXPECT_FALSE(mManager->hasDevice());
    EXPECT_FALSE(mManager->isEnabled());
    EXPECT_EQ(countInLog("ERROR: Failed to create AL context"), 1);
    std::string before = log();
    EXPECT_EQ(load("tone"), 0);
    EXPECT_FALSE(mManager->loadSoundResources("sound_resources_lua", "default"));
    EXPECT_EQ(mManager->acquireResource("tone"), 0);
    EXPECT_EQ(mManager->play(1), 0);
    EXPECT_EQ(mManager->playByName("tone"), 0);
    EXPECT_EQ(mManager->stop(1), 1);
    EXPECT_EQ(mManager->setVolume(1, 1.0f), 1);
    EXPECT_FALSE(mManager->isPlaying(1));
    EXPECT_EQ(mManager->getResource(1), nullptr);
    EXPECT_FALSE(mManager->setResourceLooped(1, true));
    mManager->setGroupVolume0(0.5f);
    EXPECT_FLOAT_EQ(mManager->getGroupVolume(0), 0.0f);
    EXPECT_FLOAT_EQ(mManager->getGroupVolume(5), 0.0f);
    mManager->releaseResource(1);
    mManager->unloadResource(1);
    mManager->stopAll();
    QV::SoundManager::setApplicationActive(true);
    for (int i = 0; i < 100; ++i) {
        mManager->update();
        mManager->updateListenerGain();
    }
    EXPECT_EQ(log(), before);
}

}  // namespace

namespace {

// Every sound the file list names decodes, and the table registers only
// sounds that exist.
TEST(ShippedSounds, AllDecodeAndTheTableNamesThem) {
    qvtest::TempDir dir;
    qvtest::ScopedChdir cd(dir.path());
    QV::LogSystem log;
    QV::gContentDirectory = QV_SOURCE_DIR "/media";
    QV::FileSystem fileSystem;
    fileSystem.loadDirectoryList("common");
    std::vector<std::string> names;
    QV::FileSystem::PackageTable table = fileSystem.packageTable();
    for (const auto& entry : table["default"]) {
        const std::string& name = entry.first;
        if (name.size() > 6 && name.compare(name.size() - 6, 6, "_sound") == 0) names.push_back(name);
    }
    EXPECT_GE(names.size(), 23u);
    for (const std::string& name : names) {
        QV::SoundResource resource{QV::SoundDescription()};
        resource.buildChunks(name);
        EXPECT_GT(resource.chunkCount(), 0) << name;
    }
    {
        QV::SoundManager manager(soundtest::loopbackOutput());
        ASSERT_TRUE(manager.loadSoundResources("sound_resources_lua", "default"));
        EXPECT_GT(manager.acquireResource("chip_destroy_sound"), 0);
        EXPECT_EQ(manager.getResource(manager.acquireResource("tile_destroy_sound"))->priority, 11);
    }
    EXPECT_EQ(qvtest::readFile("QV.log").find("Sound not found"), std::string::npos);
}

}  // namespace
