#pragma once

// Scene files and the engine around them for the scene loader and node-kind
// tests: a generator of scene XML, and a world whose package "default" holds
// generated pictures, a sprite description, the shipped particle effect, a
// tone and the scenes a test writes.

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "animationeditor/scene_node.h"
#include "animationeditor/scene_registry.h"
#include "particle_system.h"
#include "support/particle_fixtures.h"
#include "support/render_fixture.h"
#include "support/sound_fixtures.h"
#include "support/sprite_fixture.h"

namespace scenetest {

// One "Object" element of a scene file.
struct Obj {
    std::string type;
    std::string name;
    std::string params;      // attributes of "Parameters"; none: no element
    std::vector<std::string> frames;  // each: attributes of "frame", then "|" and those of "Attributes"
    std::string framesAttrs;  // attributes of "frames"
    std::string attrs;        // further attributes of "Object" (filename, tablename)
    std::vector<Obj> childs;
    std::string extra;        // raw XML inside the object (markers, activation frames)
};

inline Obj obj(const std::string& type, const std::string& name, const std::string& params = "",
               const std::vector<std::string>& frames = {}, const std::string& framesAttrs = "",
               const std::string& attrs = "", const std::vector<Obj>& childs = {}, const std::string& extra = "") {
    Obj o;
    o.type = type;
    o.name = name;
    o.params = params;
    o.frames = frames;
    o.framesAttrs = framesAttrs;
    o.attrs = attrs;
    o.childs = childs;
    o.extra = extra;
    return o;
}

inline std::string objectXml(const Obj& o) {
    std::ostringstream s;
    s << "<Object";
    if (!o.type.empty()) s << " type=\"" << o.type << "\"";
    s << " name=\"" << o.name << "\" " << o.attrs << ">";
    if (!o.params.empty()) s << "<Parameters " << o.params << "/>";
    if (!o.frames.empty() || !o.framesAttrs.empty()) {
        s << "<frames " << o.framesAttrs << ">";
        for (const std::string& f : o.frames) {
            const size_t bar = f.find('|');
            s << "<frame " << f.substr(0, bar) << ">";
            if (bar != std::string::npos) s << "<Attributes " << f.substr(bar + 1) << "/>";
            s << "</frame>";
        }
        s << "</frames>";
    }
    if (!o.childs.empty()) {
        s << "<Childs>";
        for (const Obj& c : o.childs) s << objectXml(c);
        s << "</Childs>";
    }
    s << o.extra << "</Object>";
    return s.str();
}

inline std::string sceneXml(const std::vector<Obj>& objects, const std::string& extra = "") {
    std::string s = "<?xml version=\"1.0\"?>\n<Scene>";
    for (const Obj& o : objects) s += objectXml(o);
    return s + extra + "</Scene>\n";
}

// A marker element: name and play-list entries (raw attributes each).
inline std::string markerXml(const std::string& name, const std::vector<std::string>& entries) {
    std::string s = "<marker><name>" + name + "</name><playList>";
    for (const std::string& e : entries) s += "<item " + e + "/>";
    return s + "</playList></marker>";
}

// Full attribute set of a key frame with neutral scale and shear.
inline std::string keyAttrs(float x, float y, const std::string& more = "") {
    std::ostringstream s;
    s << "X=\"" << x << "\" Y=\"" << y << "\" scaleX=\"1\" scaleY=\"1\" A=\"1\" R=\"1\" G=\"1\" B=\"1\" " << more;
    return s.str();
}

inline std::string readSourceFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Package "default": "pic_png" (64 x 32, red left half, blue right half),
// "frames_sprites" (table "strip": three 16 x 16 frames of pic_png), the
// shipped "particle_burst_fx" with its sprite, "tone_sound" (0.2 s) and the
// given scenes (resource name -> text).
class SceneWorld {
public:
    explicit SceneWorld(const std::vector<std::pair<std::string, std::string>>& scenes,
                        qvtest::SpriteWorld::Device device = qvtest::SpriteWorld::Device::None, int width = 64,
                        int height = 64)
        : mWorld(files(scenes), device, width, height) {
        mLog = new qvtest::CapturedLog();
        QV::LogSystem::instance()->streams().push_back(mLog);
    }
    ~SceneWorld() {
        auto& streams = QV::LogSystem::instance()->streams();
        for (size_t i = 0; i < streams.size(); ++i) {
            if (streams[i] == mLog) streams.erase(streams.begin() + static_cast<std::ptrdiff_t>(i));
        }
        delete mLog;
    }

    qvtest::SpriteWorld& world() { return mWorld; }
    qvtest::CapturedLog& log() { return *mLog; }
    QV::ParticleSystem& particles() { return *mParticles.system; }

private:
    static std::vector<qvtest::SpriteMediaFile> files(const std::vector<std::pair<std::string, std::string>>& scenes) {
        const std::string media = QV_SOURCE_DIR "/media";
        std::vector<qvtest::SpriteMediaFile> list = {
            {"pic_png", "/images/pic.png",
             qvtest::blockPng(64, 32, 32, {QV::Color::fromBytes(255, 0, 0, 255), QV::Color::fromBytes(0, 0, 255, 255)})},
            {"frames_sprites", "/sprites/frames.lua",
             "strip = { Image0 = \"pic_png\", SrcRect0 = {0, 0, 16, 16}, Animation = { Frames = {\n"
             "  { duration = 0.1, SrcRect0 = {0, 0, 16, 16} },\n"
             "  { duration = 0.1, SrcRect0 = {16, 0, 32, 16} },\n"
             "  { duration = 0.1, SrcRect0 = {32, 0, 48, 16} } } } }\n"},
            {"particle_burst_fx", "/particles/burst.xml", readSourceFile(media + "/particles/burst.xml")},
            {"particles_sxml", "/particles/particles.xml", readSourceFile(media + "/particles/particles.xml")},
            {"particles_image", "/particles/particles.png", readSourceFile(media + "/particles/particles.png")},
            {"tone_sound", "/sounds/tone.ogg", qvtest::makeToneOgg(4410, 1, 22050)},
        };
        for (const auto& scene : scenes) list.push_back({scene.first, "/scenes/" + scene.first + ".xml", scene.second});
        return list;
    }

    qvtest::SpriteWorld mWorld;
    qvtest::ParticleEngine mParticles;
    qvtest::CapturedLog* mLog = nullptr;
};

}  // namespace scenetest
