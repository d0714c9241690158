#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "object_factory.h"
#include "property_visit_archive.h"
#include "timed_value_interval.h"
#include "value_range.h"
#include "xml_iarchive.h"
#include "xml_output_archive.h"
#include "xml_value_text.h"

namespace {

using QV::makeNvp;

struct Shape : QV::Serializable {
    int mCount = 7;  // a constructor default that a missing field must not keep
    std::string mName;
    void visit(QV::PropertyVisitArchive& a) override {
        a.visit(makeNvp("mCount", mCount));
        a.visit(makeNvp("mName", mName));
    }
    void load(QV::XmlIArchive& a) override {
        a.load(makeNvp("mCount", mCount));
        a.load(makeNvp("mName", mName));
    }
    void save(QV::XmlOutputArchive& a) override {
        a.save(makeNvp("mCount", mCount));
        a.save(makeNvp("mName", mName));
    }
};

struct Circle : Shape {
    float mRadius = 0.0f;
    void load(QV::XmlIArchive& a) override {
        a.load(makeNvp("mRadius", mRadius));
        Shape::load(a);
    }
    void save(QV::XmlOutputArchive& a) override {
        a.save(makeNvp("mRadius", mRadius));
        Shape::save(a);
    }
};

struct Square : Shape {};

struct Scene : QV::Serializable {
    std::vector<Shape*> mShapes;
    QV::TimedValueInterval<float> mCurve;
    QV::ValueRange<QV::Vector2<float>> mRange;
    QV::Color mColor;
    QV::Rect mRect;
    bool mFlag = true;
    ~Scene() override {
        for (Shape* s : mShapes) delete s;
    }
    template <class A, class Op>
    void fields(A& a, Op op) {
        op(a, makeNvp("mShapes", mShapes));
        op(a, makeNvp("mCurve", mCurve));
        op(a, makeNvp("mRange", mRange));
        op(a, makeNvp("mColor", mColor));
        op(a, makeNvp("mRect", mRect));
        op(a, makeNvp("mFlag", mFlag));
    }
    void visit(QV::PropertyVisitArchive& a) override {
        fields(a, [](QV::PropertyVisitArchive& x, auto p) { x.visit(p); });
    }
    void load(QV::XmlIArchive& a) override {
        fields(a, [](QV::XmlIArchive& x, auto p) { x.load(p); });
    }
    void save(QV::XmlOutputArchive& a) override {
        fields(a, [](QV::XmlOutputArchive& x, auto p) { x.save(p); });
    }
};

class ParticleArchive : public testing::Test {
protected:
    ParticleArchive() {
        factory.registerCreator<Circle>("Circle");
        factory.registerCreator<Square>("Circle");  // second registration is ignored
        factory.registerCreator<Square>("Square");
    }
    Scene* read(const std::string& body) {
        std::string text = "<root>" + body + "</root>";
        QV::XmlIArchive archive(text.data(), text.size());
        EXPECT_TRUE(archive.isLoaded());
        Scene* scene = nullptr;
        archive.load(QV::nvp<Scene*>("Scene", &scene));
        EXPECT_EQ(archive.stackDepth(), 1u);
        return scene;
    }
    QV::ObjectFactory factory;
};

TEST_F(ParticleArchive, FactoryCreatesByExactNameAndClonesByRuntimeType) {
    QV::Serializable* made = factory.createObject("Circle");
    EXPECT_NE(dynamic_cast<Circle*>(made), nullptr);  // first registration kept
    delete made;
    EXPECT_EQ(factory.createObject("circle"), nullptr);

    Circle circle;
    circle.mRadius = 3.5f;
    Shape* copy = factory.cloneObject<Shape>(circle);
    ASSERT_NE(dynamic_cast<Circle*>(copy), nullptr);
    EXPECT_FLOAT_EQ(static_cast<Circle*>(copy)->mRadius, 3.5f);
    delete copy;

    Shape plain;
    Shape* plainCopy = factory.cloneObject<Shape>(plain);
    EXPECT_EQ(typeid(*plainCopy), typeid(Shape));
    delete plainCopy;
    EXPECT_EQ(factory.findClassName(typeid(Square).name()), "Square");
    EXPECT_EQ(factory.findClassName(typeid(Scene).name()), "");
}

TEST(ArchiveValueText, NumberForms) {
    struct IntCase {
        const char* text;
        int32_t value;
    } ints[] = {{"42", 42},   {"  -7", -7},          {"0x2", 2},          {"0X1f", 31},
                {"010", 10},  {"1e3", 1},            {"abc", 0},          {"", 0},
                {"12ab", 12}, {"99999999999", INT32_MAX}, {"-99999999999", INT32_MIN}};
    for (const IntCase& c : ints) EXPECT_EQ(QV::parseArchiveInt(c.text), c.value) << c.text;

    struct ByteCase {
        const char* text;
        int value;
    } bytes[] = {{"255", 255}, {"256", 0}, {"300", 44}, {"-1", 255}, {"0x80", 128}};
    for (const ByteCase& c : bytes) EXPECT_EQ(QV::parseArchiveByte(c.text), c.value) << c.text;

    EXPECT_FLOAT_EQ(QV::parseArchiveFloat("1e3"), 1000.0f);
    EXPECT_FLOAT_EQ(QV::parseArchiveFloat("nonsense"), 0.0f);
    for (const char* t : {"1", "true", "T", "yes", "Y"}) EXPECT_TRUE(QV::parseArchiveBool(t)) << t;
    for (const char* t : {"false", "0", "", "no"}) EXPECT_FALSE(QV::parseArchiveBool(t)) << t;
}

TEST_F(ParticleArchive, MissingFieldsReadAsZeroAndVectorsFollowSz) {
    Scene* scene = read(
        "<Scene>"
        "  <mShapes sz='3'>"
        "    <e0 class_name='Circle'><mRadius v='2.5'/><mName v='c'/></e0>"
        "    <e2 class_name='Nothing'><mCount v='5'/></e2>"
        "    <e3 class_name='Square'/>"
        "  </mShapes>"
        "  <mColor r='1' g='2' b='3'/>"
        "</Scene>");
    ASSERT_NE(scene, nullptr);
    ASSERT_EQ(scene->mShapes.size(), 3u);
    auto* circle = dynamic_cast<Circle*>(scene->mShapes[0]);
    ASSERT_NE(circle, nullptr);
    EXPECT_FLOAT_EQ(circle->mRadius, 2.5f);
    EXPECT_EQ(circle->mCount, 0);  // missing: zero, not the constructor's 7
    EXPECT_EQ(typeid(*scene->mShapes[1]), typeid(Shape));  // read from nothing
    EXPECT_EQ(scene->mShapes[1]->mCount, 0);
    EXPECT_EQ(typeid(*scene->mShapes[2]), typeid(Shape));  // unknown class: the base class
    EXPECT_EQ(scene->mShapes[2]->mCount, 5);
    EXPECT_EQ(scene->mColor.a, 0);  // missing alpha
    EXPECT_EQ(scene->mColor.r, 1);
    EXPECT_FALSE(scene->mFlag);
    EXPECT_EQ(scene->mCurve.linesCount(), 0);  // missing curve: no lines
    EXPECT_FLOAT_EQ(scene->mCurve.evaluate(0, 50), 0.0f);
    EXPECT_FLOAT_EQ(scene->mCurve.evaluateMean(50), 0.0f);
    delete scene;
}

TEST_F(ParticleArchive, HugeSizesDoNotMakeMillionsOfItems) {
    Scene* scene = read("<Scene><mShapes sz='2000000000'><e1/></mShapes></Scene>");
    ASSERT_NE(scene, nullptr);
    EXPECT_EQ(scene->mShapes.size(), 2u);
    delete scene;
    scene = read("<Scene><mShapes sz='2'><e0/><e1/><e2/><e3/><e4/></mShapes></Scene>");
    EXPECT_EQ(scene->mShapes.size(), 2u);
    delete scene;
}

TEST_F(ParticleArchive, SavedDocumentReadsBackEqual) {
    Scene scene;
    auto* circle = new Circle();
    circle->mRadius = 1.25f;
    circle->mCount = 3;
    circle->mName = "a<b";
    scene.mShapes = {circle, new Shape()};
    scene.mCurve.addKey(0, 0, 10.0f);
    scene.mCurve.addKey(0, 100, 20.0f);
    scene.mRange.mMaxVal = {1.5f, -2.0f};
    scene.mColor = QV::Color::fromBytes(10, 20, 30, 40);
    scene.mRect = {1, 2, 3, 4};

    QV::XmlOutputArchive out;
    Scene* root = &scene;
    out.save(QV::nvp<Scene*>("Scene", &root));
    std::string text = out.text();
    EXPECT_NE(text.find("<mRadius v=\"1.250000\""), std::string::npos) << text;
    EXPECT_NE(text.find("<mShapes sz=\"2\">"), std::string::npos);
    EXPECT_NE(text.find("<e0 class_name=\"Circle\">"), std::string::npos);
    EXPECT_NE(text.find("<e1 class_name=\"\">"), std::string::npos);
    EXPECT_NE(text.find("<mFlag v=\"true\""), std::string::npos);

    QV::XmlIArchive in(text.data(), text.size());
    Scene* back = nullptr;
    in.load(QV::nvp<Scene*>("Scene", &back));
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(back->mShapes.size(), 2u);
    auto* backCircle = dynamic_cast<Circle*>(back->mShapes[0]);
    ASSERT_NE(backCircle, nullptr);
    EXPECT_FLOAT_EQ(backCircle->mRadius, 1.25f);
    EXPECT_EQ(backCircle->mCount, 3);
    EXPECT_EQ(backCircle->mName, "a<b");
    EXPECT_FLOAT_EQ(back->mCurve.evaluateExact(0, 50), 15.0f);
    EXPECT_EQ(back->mRange.mMaxVal.y, -2.0f);
    EXPECT_EQ(back->mColor, scene.mColor);
    EXPECT_EQ(back->mRect.bottom, 4.0f);
    EXPECT_TRUE(back->mFlag);
    delete back;
}

TEST(ParticleArchiveText, RejectedDocumentIsNotLoaded) {
    for (std::string text : {std::string(""), std::string("<?xml version='1.0'?>"), std::string("<root><a></root>")}) {
        QV::XmlIArchive archive(text.data(), text.size());
        EXPECT_FALSE(archive.isLoaded()) << text;
    }
}

struct RecordingVisitor : QV::IPropertyVisitor {
    std::vector<std::string> calls;
    void beginGroup() override { calls.push_back("{"); }
    void endGroup() override { calls.push_back("}"); }
    void visitFloatCurve(QV::PropertyVisitArchive&, QV::nvp<QV::TimedValueInterval<float>> p) override {
        calls.push_back("curve:" + p.name());
    }
    void visitValueRange(QV::PropertyVisitArchive&, QV::nvp<QV::ValueRange<QV::Vector2<float>>> p) override {
        calls.push_back("range:" + p.name());
    }
    void visitColor(QV::PropertyVisitArchive&, QV::nvp<QV::Color> p) override { calls.push_back("color:" + p.name()); }
    void visitRect(QV::PropertyVisitArchive&, QV::nvp<QV::Rect> p) override { calls.push_back("rect:" + p.name()); }
    void visitBool(QV::PropertyVisitArchive&, QV::nvp<bool> p) override { calls.push_back("bool:" + p.name()); }
    void visitInt(QV::PropertyVisitArchive&, QV::nvp<int> p) override { calls.push_back("int:" + p.name()); }
    void visitString(QV::PropertyVisitArchive&, QV::nvp<std::string> p) override {
        calls.push_back("string:" + p.name());
    }
};

TEST_F(ParticleArchive, VisitorSeesFieldsInFileOrder) {
    Scene scene;
    scene.mShapes = {new Shape()};
    RecordingVisitor visitor;
    QV::PropertyVisitArchive archive(&visitor);
    scene.visit(archive);
    std::vector<std::string> expected = {"{", "{", "{", "int:mCount", "string:mName", "}", "}", "}",
                                         "curve:mCurve", "range:mRange", "color:mColor", "rect:mRect",
                                         "bool:mFlag"};
    EXPECT_EQ(visitor.calls, expected);
}

TEST(TimedValueInterval, FloatCurveValues) {
    QV::TimedValueInterval<float> curve;
    curve.addKey(0, 100, 20.0f);  // out of order on purpose
    curve.addKey(0, 0, 10.0f);
    struct Case {
        int t;
        float exact, sampled;
    } cases[] = {{50, 15.0f, 15.0f}, {98, 19.8f, 19.6f}, {100, 20.0f, 19.6f}, {-10, 10.0f, 9.0f}, {0, 10.0f, 10.0f}};
    for (const Case& c : cases) {
        EXPECT_NEAR(curve.evaluateExact(0, c.t), c.exact, 1e-4) << c.t;
        EXPECT_NEAR(curve.evaluate(0, c.t), c.sampled, 1e-4) << c.t;
    }

    QV::TimedValueInterval<float> ties;
    ties.addKey(0, 50, 1.0f);
    ties.addKey(0, 50, 2.0f);
    EXPECT_FLOAT_EQ(ties.evaluateExact(0, 50), 2.0f);
    ties.addKey(0, 100, 3.0f);
    EXPECT_NEAR(ties.evaluateExact(0, 60), 2.2f, 1e-5);

    QV::TimedValueInterval<float> single;
    single.addKey(0, 30, 7.0f);
    for (int t : {-5, 0, 30, 99}) EXPECT_FLOAT_EQ(single.evaluateExact(0, t), 7.0f);

    QV::TimedValueInterval<float> constructed(0.0f, 100.0f);
    EXPECT_FLOAT_EQ(constructed.evaluateMean(10), 50.0f);
}

TEST(TimedValueInterval, ColourBlendsAndMean) {
    QV::TimedValueInterval<QV::Color> curve;
    curve.addKey(0, 0, QV::Color::fromBytes(0, 0, 0, 0));
    curve.addKey(0, 100, QV::Color::fromBytes(255, 255, 255, 255));
    EXPECT_EQ(curve.evaluateExact(0, 50).r, 127);
    EXPECT_EQ(curve.evaluate(0, 48).r, 122);
    EXPECT_EQ(curve.evaluate(0, 50).g, 127);

    QV::TimedValueInterval<QV::Color> two;
    two.mValues.resize(2);
    two.mValues[0].push_back(new QV::TimedValueInterval<QV::Color>::timevalue(0, QV::Color::fromBytes(200, 0, 0, 0)));
    two.mValues[1].push_back(new QV::TimedValueInterval<QV::Color>::timevalue(0, QV::Color::fromBytes(100, 0, 0, 0)));
    two.setLinesCount(2);
    // Every line reads line 0's samples; 200 + 200 wraps to 144 before halving.
    EXPECT_EQ(two.evaluateMean(0).r, 72);
}

TEST(TimedValueIntervalDeathTest, OnlyLineZeroTakesKeys) {
    QV::TimedValueInterval<float> curve;
    EXPECT_EXIT(curve.addKey(1, 0, 1.0f), testing::ExitedWithCode(255), "Only one line supported");
}

TEST(TimedValueInterval, CopyKeepsKeysAndLoadReplacesThem) {
    QV::TimedValueInterval<float> curve(0.0f, 10.0f);
    QV::TimedValueInterval<float> copy(curve);
    EXPECT_FLOAT_EQ(copy.evaluateExact(0, 70), 5.0f);

    std::string text = "<root><c><mValues sz='1'><e0 sz='1'><e0><time v='0'/><value v='3'/></e0></e0></mValues>"
                       "<mLinesCount v='4'/></c></root>";
    QV::XmlIArchive archive(text.data(), text.size());
    archive.load(makeNvp("c", copy));
    ASSERT_EQ(copy.lines().size(), 1u);
    EXPECT_EQ(copy.lines()[0].size(), 1u);
    EXPECT_EQ(copy.linesCount(), 1);  // a count beyond the lines held is clamped
    EXPECT_FLOAT_EQ(copy.evaluateMean(0), 3.0f);
}

}  // namespace
