// Plays the game's own sounds through the default OpenAL device for a while:
//   sound_wave_prog <content directory> <seconds> <sound name>...
// The first name plays looped as music, the others as effects one after
// another. Exit status: 0 played, 2 no device, 3 "sound_resources_lua" missing,
// 4 a sound did not start.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "file_system.h"
#include "log_system.h"
#include "sound_system/sound_manager.h"

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: sound_wave_prog <content directory> <seconds> <sound name>...\n");
        return 1;
    }
    QV::gContentDirectory = argv[1];
    double seconds = std::atof(argv[2]);
    QV::LogSystem log;
    QV::FileSystem fileSystem;
    fileSystem.loadDirectoryList("common");
    int status = 0;
    {
        QV::SoundManager sound;
        QV::SoundManager::setApplicationActive(true);
        sound.updateListenerGain();
        if (!sound.hasDevice()) return 2;
        if (!sound.loadSoundResources("sound_resources_lua", "default")) return 3;

        QV::SoundDescription music;
        music.fileName = argv[3];
        music.group = 1;
        music.looped = true;
        int musicHandle = sound.play(sound.loadResource(music));
        if (musicHandle == 0) status = 4;

        int next = 4;
        auto started = std::chrono::steady_clock::now();
        double elapsed = 0.0;
        double nextEffect = 0.2;
        while (elapsed < seconds) {
            if (next < argc && elapsed >= nextEffect) {
                if (sound.playByName(argv[next]) == 0) status = 4;
                ++next;
                nextEffect += 0.25;
            }
            sound.update();
            std::this_thread::sleep_for(std::chrono::milliseconds(16));
            elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        }
        if (!sound.isPlaying(musicHandle)) status = 4;
    }
    return status;
}
