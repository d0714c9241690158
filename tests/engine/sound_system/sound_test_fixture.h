#pragma once

// Shared set-up of the sound tests: a temp content directory whose file list
// names the given sounds, the log, the file system, and a sound manager on an
// OpenAL Soft loopback device whose mix the test pulls frame by frame.

#include <gtest/gtest.h>

#include <al.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "file_system.h"
#include "log_system.h"
#include "sound_system/sound_manager.h"
#include "support/sound_fixtures.h"
#include "support/temp_dir.h"

namespace soundtest {

constexpr int kRate = 22050;

inline QV::SoundOutput loopbackOutput() {
    QV::SoundOutput output;
    output.loopback = true;
    output.sampleRate = kRate;
    return output;
}

class SoundTest : public testing::Test {
protected:
    // Resource name -> file bytes. Call before startManager.
    void addFile(const std::string& name, const std::string& bytes) { mFiles[name] = bytes; }
    void addTone(const std::string& name, uint32_t frames, int channels = 1, float amplitude = 0.5f) {
        addFile(name, qvtest::makeToneOgg(frames, channels, kRate, amplitude));
    }

    void startManager(QV::SoundOutput output = loopback()) {
        std::string list = "name = \"default\"\nfilelist = {\n";
        for (const auto& file : mFiles) {
            qvtest::writeFile(mDir.file("content/" + file.first + ".bin"), file.second);
            list += "  { name = \"" + file.first + "\", filename = \"/" + file.first + ".bin\" },\n";
        }
        list += "}\n";
        qvtest::writeFile(mDir.file("content/sounds.lua"), list);
        qvtest::writeFile(mDir.file("content/filelist.lua"),
                          "directories = { test = { { \"/sounds.lua\" } } }\n");
        QV::gContentDirectory = mDir.path() + "/content";
        mFileSystem.reset(new QV::FileSystem());
        mFileSystem->loadDirectoryList("test");
        mManager.reset(new QV::SoundManager(output));
    }

    static QV::SoundOutput loopback() { return loopbackOutput(); }

    void TearDown() override {
        mManager.reset();
        mFileSystem.reset();
        QV::SoundManager::clearApplication();
    }

    // Mixes frames of stereo output, updating the manager every block.
    std::vector<int16_t> render(int frames, int block = 1024) {
        std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
        for (int done = 0; done < frames; done += block) {
            int n = std::min(block, frames - done);
            mManager->device().render(out.data() + static_cast<size_t>(done) * 2, n);
            mManager->update();
        }
        return out;
    }

    // Level of frames [first, first + count) of a stereo render.
    static double level(const std::vector<int16_t>& pcm, int first, int count) {
        return qvtest::rmsLevel(pcm.data() + static_cast<size_t>(first) * 2, static_cast<size_t>(count) * 2);
    }

    std::string log() { return qvtest::readFile(mDir.file("QV.log")); }
    int countInLog(const std::string& text) {
        std::string all = log();
        int count = 0;
        for (size_t at = all.find(text); at != std::string::npos; at = all.find(text, at + 1)) ++count;
        return count;
    }

    int load(const std::string& name, int group = 0, float volume = 1.0f, bool looped = false, int priority = 0) {
        QV::SoundDescription description;
        description.fileName = name;
        description.group = group;
        description.volume = volume;
        description.looped = looped;
        description.priority = priority;
        return mManager->loadResource(description);
    }

    ALint sourceInt(int handle, ALenum what) {
        ALint value = -1;
        alGetSourcei(mManager->getChannel(handle)->source, what, &value);
        return value;
    }
    float sourceGain(int handle) {
        ALfloat value = -1.0f;
        alGetSourcef(mManager->getChannel(handle)->source, AL_GAIN, &value);
        return value;
    }

    qvtest::TempDir mDir;
    qvtest::ScopedChdir mCd{mDir.path()};
    QV::LogSystem mLog;
    std::map<std::string, std::string> mFiles;
    std::unique_ptr<QV::FileSystem> mFileSystem;
    std::unique_ptr<QV::SoundManager> mManager;
};

}  // namespace soundtest
