#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "animationeditor/marker.h"
#include "animationeditor/movie_camera.h"
#include "animationeditor/particle_scene_node.h"
#include "animationeditor/scene_xml_reader.h"
#include "animationeditor/sound_scene_node.h"
#include "animationeditor/sprite_scene_node.h"
#include "animationeditor/text_scene_node.h"
#include "scene_world.h"

namespace {

using AE::ISceneNode;
using scenetest::Obj;
using scenetest::sceneXml;

std::unique_ptr<ISceneNode> load(const std::string& name) { return std::unique_ptr<ISceneNode>(AE::loadScene(name)); }

// Loads one scene text through the file system.
struct OneScene {
    explicit OneScene(const std::string& text) : world({{"test_xml", text}}), root(load("test_xml")) {}
    scenetest::SceneWorld world;
    std::unique_ptr<ISceneNode> root;
};

TEST(SceneXmlReader, BuildsOneNodePerObjectWithChildsRuleAndSceneMarkers) {
    Obj first = scenetest::obj("", "a");
    first.childs = {scenetest::obj("", "a1")};
    // An element of another name after the first child object is read as an object too.
    std::string text = sceneXml({first, scenetest::obj("Unknown", "b")},
                                "<!-- note --><Other name=\"c\"/>" "<markers>" +
                                    scenetest::markerXml("show", {"path=\"/a\" from=\"0\" to=\"10\""}) + "</markers>");
    const std::string childs = "<Object name=\"a1\" ></Object>";
    text.replace(text.find(childs), childs.size(), childs + "<Thing name=\"a2\"/>");
    OneScene scene(text);
    ASSERT_TRUE(scene.root);
    EXPECT_EQ(scene.root->mName, "test_xml");
    EXPECT_EQ(scene.root->mFileName, "test_xml");
    ASSERT_EQ(scene.root->mChildren.size(), 2u);
    EXPECT_EQ(scene.root->mChildren[0]->mName, "a");
    EXPECT_EQ(scene.root->mChildren[1]->mName, "b");
    EXPECT_EQ(scene.root->mChildren[1]->getType(), AE::kPlainNode);
    ASSERT_EQ(scene.root->mChildren[0]->mChildren.size(), 2u);
    EXPECT_EQ(scene.root->mChildren[0]->mChildren[1]->mName, "a2");
    AE::Marker* marker = scene.root->findMarker("show");
    ASSERT_NE(marker, nullptr);
    ASSERT_EQ(marker->mEntries.size(), 1u);
    EXPECT_EQ(marker->mEntries[0]->node, scene.root->mChildren[0]);
    EXPECT_EQ(marker->mEntries[0]->toFrame, 10);
}

TEST(SceneXmlReader, MissingOrMalformedFilesGiveNullAndTwoLoadsGiveTwoLiveTrees) {
    scenetest::SceneWorld world({{"good_xml", sceneXml({scenetest::obj("", "a")})}, {"bad_xml", "<Scene><Object></Scene>"}});
    EXPECT_EQ(load("bad_xml"), nullptr);
    EXPECT_EQ(load("nowhere_xml"), nullptr);
    std::unique_ptr<ISceneNode> one = load("good_xml");
    std::unique_ptr<ISceneNode> two = load("good_xml");
    ASSERT_TRUE(one && two);
    EXPECT_NE(one.get(), two.get());
    const std::vector<ISceneNode*> live = AE::liveScenes();
    EXPECT_NE(std::find(live.begin(), live.end(), one.get()), live.end());
    EXPECT_NE(std::find(live.begin(), live.end(), two.get()), live.end());
    // A file without a "Scene" element is a root without children.
    AE::SceneXmlReader reader;
    ISceneNode* root = nullptr;
    const std::string text = "<Other/>";
    ASSERT_TRUE(reader.loadFromMemory(root, "x_xml", text.data(), text.size()));
    EXPECT_TRUE(root->mChildren.empty());
    delete root;
}

// Every walk of a tree recurses: objects nested past the limit are skipped
// and reported once instead of exhausting the stack.
TEST(SceneXmlReader, ObjectsNestedTooDeeplyAreSkipped) {
    std::string text = "<Scene>";
    const int depth = AE::SceneXmlReader::kMaxObjectDepth + 50;
    for (int i = 0; i < depth; ++i) text += "<Object name=\"n\"><Childs>";
    for (int i = 0; i < depth; ++i) text += "</Childs></Object>";
    text += "</Scene>";
    OneScene scene(text);
    ASSERT_TRUE(scene.root);
    int levels = 0;
    for (ISceneNode* n = scene.root.get(); !n->mChildren.empty(); n = n->mChildren[0]) ++levels;
    EXPECT_EQ(levels, AE::SceneXmlReader::kMaxObjectDepth);
    EXPECT_EQ(scene.world.log().count("WARNING: Scene 'test_xml' nests objects deeper than 256 levels; the deeper "
                                      "ones are skipped"),
              1);
}

TEST(SceneXmlReader, ReadsFrameNumbersBoolsAndColoursAsTheAttributeConversionsDo) {
    struct Case {
        std::string startFrame;  // raw attribute text, "-" for none
        int frame;
    };
    for (const Case& c : std::vector<Case>{{"0x18", 24}, {" 12", 12}, {"-", 0}, {"7.9", 7}}) {
        Obj o = scenetest::obj("", "n");
        const std::string start = c.startFrame == "-" ? "" : "StartFrame=\"" + c.startFrame + "\"";
        o.frames = {start + "|" + scenetest::keyAttrs(1, 2)};
        OneScene scene(sceneXml({o}));
        ASSERT_TRUE(scene.root) << c.startFrame;
        EXPECT_EQ(scene.root->mChildren[0]->getKeyFrames(), std::vector<int32_t>{c.frame}) << c.startFrame;
    }
    struct BoolCase {
        std::string text;
        bool enabled;
    };
    for (const BoolCase& c : std::vector<BoolCase>{{"True", true}, {"yes", true}, {"1", true}, {"Y", true},
                                                   {"false", false}, {"0", false}, {"no", false}, {"", false}}) {
        OneScene scene(sceneXml({scenetest::obj("", "n", "Enable=\"" + c.text + "\"")}));
        EXPECT_EQ(scene.root->mChildren[0]->mEnabled, c.enabled) << c.text;
    }
    OneScene colour(sceneXml({scenetest::obj("", "n", "R=\"1\" G=\"0.5\" B=\"0\" A=\"1\" Enable=\"1\"")}));
    const QV::Color c = colour.root->mChildren[0]->mColor;
    EXPECT_EQ(c.r, 255);
    EXPECT_EQ(c.g, 127);
    EXPECT_EQ(c.b, 0);
    EXPECT_EQ(c.a, 255);
}

TEST(SceneXmlReader, PlainObjectDefaultsAndKeys) {
    Obj plain = scenetest::obj("", "plain", "X=\"5\"");
    plain.frames = {"StartFrame=\"0\"|X=\"3\" Y=\"4\" scaleY=\"1\"", "StartFrame=\"10\"|" + scenetest::keyAttrs(6, 8) +
                                                                          " shear00=\"1\" shear01=\"0.5\" shear11=\"1\""};
    Obj camera = scenetest::obj("MovieCamera", "cam", "Enable=\"1\"");
    OneScene scene(sceneXml({plain, camera}));
    ISceneNode* p = scene.root->findNode("plain");
    ISceneNode* cam = scene.root->findNode("cam");
    ASSERT_TRUE(p && cam);
    EXPECT_FALSE(p->mEnabled);  // no "Enable"
    EXPECT_TRUE(p->mParallax);  // no "ParallaxEnabled"
    EXPECT_FALSE(cam->mParallax);
    AE::NodeTimeline& t = *p->mTimeline;
    EXPECT_EQ(t.getFloatKey("scaleX", 0).value, 0.0f);  // the node vanishes at that frame
    EXPECT_EQ(t.getFloatKey("posX", 0).value, 3.0f);
    // Without "shear00" a frame keys the identity; with it, the four values.
    EXPECT_EQ(t.getFloatKey("shear00", 0).value, 1.0f);
    EXPECT_EQ(t.getFloatKey("shear01", 1).value, 0.5f);
    EXPECT_EQ(t.getFloatKey("shear10", 1).value, 0.0f);
}

TEST(SceneXmlReader, MarkerEntriesFindNodesByPathOrNameAndKeepTheFirstOfANode) {
    Obj holder = scenetest::obj("", "holder");
    holder.childs = {scenetest::obj("", "x"), scenetest::obj("", "y")};
    holder.extra = "<markers>" +
                   scenetest::markerXml("m", {"path=\"\" name=\"x\" from=\"1\"", "name=\"x\" from=\"2\"",
                                              "name=\"x\" from=\"3\"", "path=\"/y\" looped=\"yes\"",
                                              "name=\"nobody\""}) +
                   "</markers>";
    OneScene scene(sceneXml({holder}));
    ISceneNode* h = scene.root->findNode("holder");
    AE::Marker* m = h->findMarker("m");
    ASSERT_NE(m, nullptr);
    // The empty path is looked up as a path (finding nothing), not by its
    // name "x"; "x" by name then keeps its first entry only.
    ASSERT_EQ(m->mEntries.size(), 2u);
    EXPECT_EQ(m->mEntries[0]->node, h->findNode("x"));
    EXPECT_EQ(m->mEntries[0]->fromFrame, 2);
    EXPECT_EQ(m->mEntries[1]->node, h->findNode("y"));
    EXPECT_TRUE(m->mEntries[1]->looped);
}

TEST(SceneXmlReader, SpriteObjects) {
    Obj missing = scenetest::obj("Sprite", "gone", "Enable=\"1\"", {}, "", "filename=\"nothing_png\" tablename=\"default\"");
    missing.childs = {scenetest::obj("", "lost")};
    Obj picture = scenetest::obj("Sprite", "pic", "Enable=\"1\" clipEnabled=\"1\" clipRectL=\"1\" clipRectT=\"2\" clipRectR=\"30\" clipRectB=\"40\"",
                {"StartFrame=\"0\"|" + scenetest::keyAttrs(0, 0, "shear01=\"0.5\" shear00=\"1\" shear11=\"1\""),
                 "StartFrame=\"5\"|" + scenetest::keyAttrs(0, 0, "clipEnabled=\"0\" clipRectR=\"9\""),
                 "StartFrame=\"9\"|" + scenetest::keyAttrs(0, 0)},
                "", "filename=\"pic_png\" tablename=\"default\"");
    Obj strip = scenetest::obj("Sprite", "strip", "Enable=\"1\" shear00=\"1\" shear11=\"1\"",
              {"StartFrame=\"0\"|" + scenetest::keyAttrs(0, 0, "frameIndex=\"2\" shear01=\"0.25\" shear00=\"1\" shear11=\"1\""),
               "StartFrame=\"4\"|" + scenetest::keyAttrs(0, 0, "frameIndex=\"5\"")},
              "", "filename=\"frames_sprites\" tablename=\"strip\"");
    Obj badTable = scenetest::obj("Sprite", "bad", "", {}, "", "filename=\"frames_sprites\" tablename=\"nope\"");
    OneScene scene(sceneXml({missing, picture, strip, badTable}));
    ASSERT_TRUE(scene.root);
    EXPECT_EQ(scene.root->findNode("gone"), nullptr);
    EXPECT_EQ(scene.root->findNode("lost"), nullptr);
    EXPECT_EQ(scene.root->findNode("bad"), nullptr);
    EXPECT_TRUE(scene.world.log().has("Failed to create sprite from nothing_png"));
    EXPECT_TRUE(scene.world.log().has("Failed to create sprite from frames_sprites nope"));

    auto* pic = dynamic_cast<AE::SpriteSceneNode*>(scene.root->findNode("pic"));
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(pic->getSize().x, 64.0f);
    EXPECT_EQ(pic->mFileName, "pic_png");
    AE::NodeTimeline& t = *pic->mTimeline;
    // "Parameters" has no "shear00": the frames key the identity whatever they carry.
    EXPECT_EQ(t.getFloatKey("shear01", 0).value, 0.0f);
    // The first frame takes the clip of "Parameters", the third repeats the second's.
    EXPECT_TRUE(t.getBoolKey("clipEnabled", 0).value);
    EXPECT_EQ(t.getFloatKey("clipRectB", 0).value, 40.0f);
    EXPECT_FALSE(t.getBoolKey("clipEnabled", 2).value);
    EXPECT_EQ(t.getFloatKey("clipRectR", 2).value, 9.0f);

    auto* s = dynamic_cast<AE::SpriteSceneNode*>(scene.root->findNode("strip"));
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(s->frameCount(), 3u);
    EXPECT_EQ(s->mFrameSources, (std::vector<int32_t>{0, 1, 2}));
    EXPECT_EQ(s->frameRect(1).left, 16.0f);
    EXPECT_EQ(s->mTimeline->getIntKey("frameIndex", 0).value, 2);
    EXPECT_EQ(s->mTimeline->getIntKey("frameIndex", 1).value, 0);  // 5 is past the three frames
    EXPECT_EQ(s->mTimeline->getFloatKey("shear01", 0).value, 0.25f);
}

struct EffectListener : AE::MissingEffectListener {
    void onMissingEffect(AE::SceneXmlReader&, const std::string& name) override { names.push_back(name); }
    std::vector<std::string> names;
};

TEST(SceneXmlReader, ParticleCameraSoundAndTextObjects) {
    Obj gray = scenetest::obj("ParticleFX", "gray", "Enable=\"1\" color=\"128\"", {}, "", "filename=\"particle_burst_fx\"");
    Obj quiet = scenetest::obj("Sound", "quiet", "R=\"0.5\" G=\"0.5\" B=\"0.5\" A=\"0.5\"", {}, "", "filename=\"tone_sound\"");
    Obj fx = scenetest::obj("ParticleFX", "fx", "Enable=\"1\" color=\"128\" emitCoef=\"2\"",
           {"StartFrame=\"0\"|" + scenetest::keyAttrs(1, 2, "emitCoef=\"3\" play=\"1\"")}, "",
           "filename=\"particle_burst_fx\"");
    Obj white = scenetest::obj("ParticleFX", "white", "Enable=\"1\"", {}, "", "filename=\"particle_burst_fx\"");
    Obj camera = scenetest::obj("MovieCamera", "cam", "Enable=\"1\" ParallaxEnabled=\"0\" parallaxEnable=\"1\"",
               {"StartFrame=\"0\"|X=\"1\" scaleX=\"1\" scaleY=\"1\"", "StartFrame=\"10\"|X=\"2\" scaleX=\"1\" scaleY=\"1\""},
               "", "", {}, "<Activationframes><Attribute startFrame=\"10\"/><Attribute startFrame=\"7\"/></Activationframes>");
    Obj sound = scenetest::obj("Sound", "snd", "Enable=\"1\" Volume=\"0.5\" R=\"0.5\" G=\"0.5\" B=\"0.5\" A=\"0.5\"",
              {"StartFrame=\"0\"|R=\"1\" G=\"1\" B=\"1\" A=\"1\" playSound=\"1\" Volume=\"0.25\""}, "",
              "filename=\"tone_sound\"");
    Obj text = scenetest::obj("Text", "txt", "Enable=\"1\" Text=\"Hello\" TextAreaX=\"90\" TextAreaY=\"20\" MaxChar=\"4\"",
             {"StartFrame=\"0\"|" + scenetest::keyAttrs(0, 0, "bezierCoeffScaleX=\"0.3\" bezierCoeffScaleY=\"0.6\" XCoeff=\"0.5\" HAlign=\"2\" TextAreaX=\"90\" TextAreaY=\"20\"")});
    std::string xml = sceneXml({fx, white, gray, camera, sound, quiet, text});
    scenetest::SceneWorld world({{"test_xml", xml}});
    // A reader with a listener hears of the effect that cannot be made.
    std::string missingText = sceneXml({scenetest::obj("ParticleFX", "none", "", {}, "", "filename=\"no_fx\"")});
    AE::SceneXmlReader reader;
    EffectListener listener;
    reader.mMissingEffectListeners.push_back(&listener);
    ISceneNode* missingRoot = nullptr;
    ASSERT_TRUE(reader.loadFromMemory(missingRoot, "m_xml", missingText.data(), missingText.size()));
    EXPECT_EQ(listener.names, std::vector<std::string>{"no_fx"});
    EXPECT_EQ(static_cast<AE::ParticleSceneNode*>(missingRoot->mChildren[0])->mParticleFX, nullptr);
    delete missingRoot;

    std::unique_ptr<ISceneNode> root = load("test_xml");
    ASSERT_TRUE(root);
    auto* p = dynamic_cast<AE::ParticleSceneNode*>(root->findNode("fx"));
    ASSERT_TRUE(p && p->mParticleFX);
    EXPECT_EQ(root->findNode("gray")->mColor, QV::Color::fromBytes(128, 128, 128, 128));
    EXPECT_EQ(root->findNode("white")->mColor, QV::Color::fromBytes(255, 255, 255, 255));
    EXPECT_EQ(p->mTimeline->getFloatKey("emitCoef", 0).value, 3.0f);
    EXPECT_EQ(p->mTimeline->getFloatKey("scaleX", 0).value, 1.0f);

    auto* cam = dynamic_cast<AE::MovieCamera*>(root->findNode("cam"));
    ASSERT_NE(cam, nullptr);
    EXPECT_FALSE(cam->mParallax);  // "ParallaxEnabled" wins over "parallaxEnable"
    EXPECT_EQ(cam->getActivationFrames(), std::vector<int32_t>{10});

    auto* snd = dynamic_cast<AE::SoundSceneNode*>(root->findNode("snd"));
    ASSERT_NE(snd, nullptr);
    EXPECT_EQ(snd->mTimeline->getColorKey("color", 0).value, QV::Color::fromBytes(255, 255, 255, 255));
    EXPECT_EQ(root->findNode("quiet")->mColor, QV::Color(0.5f, 0.5f, 0.5f, 0.5f));
    EXPECT_EQ(snd->mTimeline->getIntKey("play", 0).value, 1);
    EXPECT_EQ(snd->mTimeline->getFloatKey("volume", 0).value, 0.25f);

    auto* txt = dynamic_cast<AE::TextSceneNode*>(root->findNode("txt"));
    ASSERT_NE(txt, nullptr);
    EXPECT_EQ(txt->mText, u"Hello");
    EXPECT_EQ(txt->getSize(), QV::Vector2<float>(90.0f, 20.0f));
    EXPECT_EQ(txt->mTimeline->getFloatKey("scaleX", 0).bezierCoeff, 0.3f);
    EXPECT_EQ(txt->mTimeline->getFloatKey("scaleY", 0).bezierCoeff, 0.6f);
    EXPECT_EQ(txt->mTimeline->getIntKey("halign", 0).value, 2);
    EXPECT_EQ(txt->mTimeline->getFloatKey("xcoeff", 0).value, 0.5f);
}

}  // namespace
