#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_allocators.h"
#include "log_system.h"
#include "xml_data_reader.h"

namespace {

class XmlReader : public testing::Test {
protected:
    XmlReader() { allocators.init(); }
    void parse(const std::string& body) {
        std::string text = "<?xml version=\"1.0\"?>\n<root>" + body + "</root>";
        std::string error;
        ASSERT_TRUE(reader.parseBuffer(text.data(), static_cast<uint32_t>(text.size()), &error)) << error;
    }
    QV::BuddyAllocator* buddy() { return allocators.getBuddyAllocator(); }

    QV::EngineAllocators allocators;
    QV::XmlDataReader reader;
};

TEST_F(XmlReader, ScalarsVectorsAndRectangles) {
    parse("<pos v0='3' v1='4'/><rect v0='1' v1='2' v2='3' v3='4'/><angle v='-12.5'/>"
          "<name v='hero'/><empty/><hex v='0x1F'/><neg v='-7'/><spaced v='  0X10'/>");
    QV::Vector2<float> v;
    EXPECT_TRUE(reader.readVector2("pos", &v));
    EXPECT_EQ(v, QV::Vector2<float>(3, 4));
    float f = 99;
    EXPECT_TRUE(reader.readFloat("pos", &f));  // no "v": 0, yet the key is there
    EXPECT_EQ(f, 0.0f);
    EXPECT_TRUE(reader.readFloat("angle", &f));
    EXPECT_EQ(f, -12.5f);
    QV::Rect r;
    EXPECT_TRUE(reader.readRect("rect", &r));
    EXPECT_EQ(r.left, 2);
    EXPECT_EQ(r.top, 1);
    EXPECT_EQ(r.right, 4);
    EXPECT_EQ(r.bottom, 3);
    std::string s = "old";
    EXPECT_TRUE(reader.readString("name", &s));
    EXPECT_EQ(s, "hero");
    EXPECT_TRUE(reader.readString("empty", &s));
    EXPECT_EQ(s, "");

    struct IntCase {
        const char* key;
        bool found;
        int value;
    } ints[] = {{"hex", true, 31}, {"neg", true, -7}, {"spaced", true, 16}, {"empty", true, 0}, {"nope", false, 0}};
    for (const IntCase& c : ints) {
        int i = 12345;
        EXPECT_EQ(reader.readInt(c.key, &i), c.found) << c.key;
        EXPECT_EQ(i, c.value) << c.key;
    }
}

TEST_F(XmlReader, BooleansByFirstCharacter) {
    const char* values[] = {"1", "t", "T", "y", "Y", "true", "yes", "0", "f", "n", "", " 1", "2", "False"};
    const bool expected[] = {true, true, true, true, true, true, true, false, false, false, false, false, false, false};
    std::string body;
    for (size_t i = 0; i < std::size(values); ++i) body += "<b" + std::to_string(i) + " v='" + values[i] + "'/>";
    body += "<noattr/>";
    parse(body);
    for (size_t i = 0; i < std::size(values); ++i) {
        bool b = !expected[i];
        EXPECT_TRUE(reader.readBool(("b" + std::to_string(i)).c_str(), &b)) << values[i];
        EXPECT_EQ(b, expected[i]) << "'" << values[i] << "'";
    }
    bool b = true;
    EXPECT_TRUE(reader.readBool("noattr", &b));
    EXPECT_FALSE(b);
    b = true;
    EXPECT_FALSE(reader.readBool("missing", &b));
    EXPECT_FALSE(b);
}

TEST_F(XmlReader, Colours) {
    parse("<full r='1' g='2' b='3' a='4'/><noalpha r='10' g='20' b='30'/><wide r='0x1FF' g='-1' b='256' a='255'/>");
    struct Case {
        const char* key;
        bool found;
        int r, g, b, a;
    } cases[] = {
        {"full", true, 1, 2, 3, 4},
        {"noalpha", true, 10, 20, 30, 0},
        {"wide", true, 0xFF, 0xFF, 0, 255},  // low eight bits
        {"missing", false, 255, 255, 255, 255},
    };
    for (const Case& c : cases) {
        QV::Color color;
        EXPECT_EQ(reader.readColor(c.key, &color), c.found) << c.key;
        EXPECT_EQ(color.r, c.r) << c.key;
        EXPECT_EQ(color.g, c.g) << c.key;
        EXPECT_EQ(color.b, c.b) << c.key;
        EXPECT_EQ(color.a, c.a) << c.key;
    }
}

TEST_F(XmlReader, MissingKeysGiveDefaultsAndNullOutputsTouchNothing) {
    parse("<k v='5' v0='1' v1='2' v2='3' v3='4' r='1' g='1' b='1' a='1'/>");
    std::string s = "x";
    float f = 1;
    int i = 1;
    QV::Vector2<float> v(1, 1);
    QV::Rect r(1, 1, 1, 1);
    EXPECT_FALSE(reader.readString("missing", &s));
    EXPECT_FALSE(reader.readFloat("missing", &f));
    EXPECT_FALSE(reader.readInt("missing", &i));
    EXPECT_FALSE(reader.readVector2("missing", &v));
    EXPECT_FALSE(reader.readRect("missing", &r));
    EXPECT_EQ(s, "");
    EXPECT_EQ(f, 0.0f);
    EXPECT_EQ(i, 0);
    EXPECT_EQ(v, QV::Vector2<float>(0, 0));
    EXPECT_EQ(r.left + r.top + r.right + r.bottom, 0.0f);
    EXPECT_FALSE(reader.readString("k", nullptr));
    EXPECT_FALSE(reader.readBool("k", nullptr));
    EXPECT_FALSE(reader.readFloat("k", nullptr));
    EXPECT_FALSE(reader.readInt("k", nullptr));
    EXPECT_FALSE(reader.readVector2("k", nullptr));
    EXPECT_FALSE(reader.readRect("k", nullptr));
    EXPECT_FALSE(reader.readColor("k", nullptr));
    EXPECT_FALSE(reader.readInt(nullptr, &i));
}

TEST_F(XmlReader, NavigatesChildrenAndArrays) {
    parse("<Mesh><sizeX v='2'/><Vertecies><v0><x v='1'/></v0><v1><x v='2'/></v1><v3><x v='9'/></v3>"
          "</Vertecies></Mesh><Empty/>");
    ASSERT_TRUE(reader.gotoChild("Mesh"));
    int i = 0;
    EXPECT_TRUE(reader.readInt("sizeX", &i));
    EXPECT_EQ(i, 2);
    std::vector<int> xs;
    for (QV::XmlArrayIterator it(&reader, "Vertecies"); it.index != -1; reader.nextIndexedChild(it)) {
        reader.readInt("x", &i);
        xs.push_back(i);
    }
    EXPECT_EQ(xs, (std::vector<int>{1, 2}));  // stops at the first missing index
    EXPECT_STREQ(reader.getCurrentNode().name(), "Vertecies");
    reader.gotoParent();
    EXPECT_STREQ(reader.getCurrentNode().name(), "Mesh");

    // Leaving a walk early.
    QV::XmlArrayIterator early(&reader, "Vertecies");
    EXPECT_STREQ(reader.getCurrentNode().name(), "v0");
    reader.restoreNode(early);
    EXPECT_STREQ(reader.getCurrentNode().name(), "Vertecies");

    reader.gotoRoot();
    QV::XmlArrayIterator none(&reader, "Empty");
    EXPECT_EQ(none.index, -1);
    EXPECT_STREQ(reader.getCurrentNode().name(), "root");
    EXPECT_FALSE(reader.gotoChild("nothing"));
    EXPECT_STREQ(reader.getCurrentNode().name(), "root");

    reader.gotoParent();  // the document
    reader.gotoParent();
    reader.gotoParent();
    EXPECT_FALSE(reader.getCurrentNode());
    EXPECT_FALSE(reader.readInt("sizeX", &i));
}

TEST_F(XmlReader, TextLivesInABuddyBlockUntilCleared) {
    std::string text = "<root><a v='1'/></root>";
    text.append(20000, ' ');
    ASSERT_TRUE(reader.parseBuffer(text.data(), static_cast<uint32_t>(text.size()), nullptr));
    EXPECT_EQ(buddy()->used(), text.size());
    EXPECT_EQ(buddy()->unitMap()[0], 255);
    EXPECT_EQ(buddy()->unitMap()[1], 255);
    reader.clear();
    EXPECT_EQ(buddy()->used(), 0u);
    EXPECT_EQ(buddy()->unitMap()[0], 0);

    // A document without "root" parses, but has no current element.
    ASSERT_TRUE(reader.parseBuffer("<other/>", 8, nullptr));
    EXPECT_FALSE(reader.getCurrentNode());
}

TEST_F(XmlReader, MalformedTextIsRefusedAndLeavesNothingBehind) {
    const char* bad[] = {"", "<root>", "<root><a></b></root>", "not xml at all", "<root a='1></root>"};
    for (const char* text : bad) {
        std::string error;
        EXPECT_FALSE(reader.parseBuffer(text, static_cast<uint32_t>(strlen(text)), &error)) << text;
        EXPECT_FALSE(error.empty()) << text;
        EXPECT_FALSE(reader.getCurrentNode());
        EXPECT_EQ(buddy()->used(), 0u) << text;
    }
}

TEST_F(XmlReader, OutlivingTheAllocatorsIsHarmless) {
    auto* own = new QV::EngineAllocators();  // takes over the singleton from the fixture's
    own->init();
    auto* r = new QV::XmlDataReader();
    ASSERT_TRUE(r->parseBuffer("<root/>", 7, nullptr));
    delete own;
    delete r;  // its arena is gone: nothing to give back
    SUCCEED();
}

using XmlReaderDeathTest = XmlReader;

TEST_F(XmlReaderDeathTest, TextLargerThanTheArenaIsFatal) {
    std::string text(QV::BuddyAllocator::kArenaSize + 1, ' ');
    EXPECT_EXIT(reader.parseBuffer(text.data(), static_cast<uint32_t>(text.size()), nullptr),
                testing::ExitedWithCode(255), "xml_data_reader\\.cpp");
}

}  // namespace
