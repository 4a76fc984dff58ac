// Catches interface files that load wrongly: properties misread, outlets or actions connected to
// the wrong object or class, children out of order, awakeFromNib or unarchiving out of phase,
// class substitutions of the decoding hook that leak out of the element or are not put back,
// and errors that do not name the file and line.
#include "platform/appkit/NibLoader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "support/FileFixtures.h"
#include "support/ScopedResources.h"

namespace {

std::vector<std::string> gAwakeLog;

class NLObject : public NSObject {
  public:
    void setTitle(const std::string& t) { title = t; }
    void setEnabled(bool e) { enabled = e; }
    void setTag(int t) { tag = t; }
    void setCount(long c) { count = c; }
    void setAlpha(double a) { alpha = a; }
    void setFrame(const NSRect& r) { frame = r; }
    void setOrigin(NSPoint p) { origin = p; }
    void setSize(NSSize s) { size = s; }
    void awakeFromNib() override { gAwakeLog.push_back(title); }

    std::string title;
    bool enabled = false;
    int tag = 0;
    long count = 0;
    double alpha = 0;
    NSRect frame;
    NSPoint origin;
    NSSize size;
    int rgba[4] = {0, 0, 0, 0};
};

class NLOwner;

class NLView : public NLObject, public NibContainer {
  public:
    void addNibChild(Ref<NSObject> child) override { children.push_back(child); }
    std::vector<Ref<NSObject>> children;
    WeakRef<NSObject> delegate;
    WeakRef<NLOwner> dataSource;
};

class NLButton : public NLView, public NibTargetAction, public NibUnarchiving {
  public:
    void setTarget(WeakRef<NSObject> t) override { target = std::move(t); }
    void setAction(SEL a) override { action = a; }
    void awakeAfterUnarchive() override;
    void press(const Ref<NSObject>&) { ++presses; }

    WeakRef<NSObject> target;
    SEL action;
    bool unarchived = false;
    std::string titleAtUnarchive;
    bool targetAtUnarchive = false;
    bool ownerOutletAtUnarchive = false;
    int presses = 0;
    static inline NLOwner* observedOwner = nullptr;
};

class NLOwner : public NSObject {
  public:
    void setButton(const Ref<NLButton>& b) { button = b; }
    void setView(const Ref<NLView>& v) { view = v; }
    void click(const Ref<NSObject>&) { ++clicks; }
    void awakeFromNib() override { gAwakeLog.push_back("owner"); }

    Ref<NLButton> button;
    Ref<NLView> view;
    int clicks = 0;
};

class NLOtherOwner : public NSObject {};

class NLSpecialObject : public NLObject {};
class NLOtherSpecialObject : public NLObject {};

/// Makes "NLObject" elements inside it create `substitute` while it is decoded, and puts the
/// coder's previous mapping back afterwards; while `skipDecode` is set it leaves its element
/// undecoded.
class NLDecoder : public NLView, public NibDecoding {
  public:
    void initWithCoder(NibCoder& coder, const std::function<void()>& decode) override {
        if (skipDecode) return;
        const ClassInfo* substitute = ClassRegistry::shared().classNamed(substituteName());
        const ClassInfo* before = coder.classForClassName("NLObject");
        coder.setClassForClassName(substitute, "NLObject");
        decode();
        titleAfterDecode = title;
        coder.setClassForClassName(before, "NLObject");
    }
    virtual const char* substituteName() const { return "NLSpecialObject"; }

    static inline bool skipDecode = false;
    std::string titleAfterDecode;
};

class NLOtherDecoder : public NLDecoder {
  public:
    const char* substituteName() const override { return "NLOtherSpecialObject"; }
};

void NLButton::awakeAfterUnarchive() {
    unarchived = true;
    titleAtUnarchive = title;
    targetAtUnarchive = !target.expired();
    ownerOutletAtUnarchive = observedOwner && observedOwner->button != nullptr;
}

void registerTestClasses() {
    NSObject::registerClass();
    auto& registry = ClassRegistry::shared();
    registry.registerClass<NLObject, NSObject>("NLObject")
        .property("title", &NLObject::setTitle)
        .property("enabled", &NLObject::setEnabled)
        .property("tag", &NLObject::setTag)
        .property("count", &NLObject::setCount)
        .property("alpha", &NLObject::setAlpha)
        .property("frame", &NLObject::setFrame)
        .property("origin", &NLObject::setOrigin)
        .property("size", &NLObject::setSize)
        .property("color", [](NLObject& o, const std::string& text) {
            int v[4];
            if (std::sscanf(text.c_str(), "%d %d %d %d", &v[0], &v[1], &v[2], &v[3]) != 4)
                return false;
            std::copy(v, v + 4, o.rgba);
            return true;
        });
    registry.registerClass<NLView, NLObject>("NLView")
        .outlet("delegate", &NLView::delegate)
        .outlet("dataSource", &NLView::dataSource);
    registry.registerClass<NLButton, NLView>("NLButton").action("press:", &NLButton::press);
    registry.registerClass<NLOwner, NSObject>("NLOwner")
        .action("click:", &NLOwner::click)
        .outlet("button", &NLOwner::setButton)
        .outlet("view", &NLOwner::setView);
    registry.registerClass<NLOtherOwner, NSObject>("NLOtherOwner");
    registry.registerClass<NLSpecialObject, NLObject>("NLSpecialObject");
    registry.registerClass<NLOtherSpecialObject, NLObject>("NLOtherSpecialObject");
    registry.registerClass<NLDecoder, NLView>("NLDecoder");
    registry.registerClass<NLOtherDecoder, NLDecoder>("NLOtherDecoder");
}

class NibLoaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        registerTestClasses();
        gAwakeLog.clear();
        owner_ = std::make_shared<NLOwner>();
        NLButton::observedOwner = owner_.get();
    }
    void TearDown() override { NLButton::observedOwner = nullptr; }

    /// Writes `body` inside <interface owner="NLOwner"> to Test.ui and loads it.
    NibLoadResult loadBody(const std::string& body) {
        return loadFile("<interface owner=\"NLOwner\">\n" + body + "</interface>\n");
    }
    NibLoadResult loadFile(const std::string& xml, Ref<NSObject> owner = nullptr) {
        const std::string path = tmp_.write("Test.ui", xml);
        return NibLoader::load(path, owner ? owner : owner_);
    }
    template <class T>
    static Ref<T> as(const Ref<NSObject>& o) {
        return std::dynamic_pointer_cast<T>(o);
    }

    fixtures::TempDir tmp_;
    Ref<NLOwner> owner_;
};

TEST_F(NibLoaderTest, PropertiesOfEachKindAreApplied) {
    auto result = loadBody(
        "  <!-- every kind of property -->\n"
        "  <NLObject title=\"Remove &amp; clean\" enabled=\"YES\" tag=\"-7\" "
        "count=\"+1234567890123\"\n"
        "            alpha=\"0.25\" frame=\"10 20.5 300 -4\" origin=\" 1  2 \" size=\"3e1 40\"\n"
        "            color=\"255 128 0 255\"/>\n");
    ASSERT_TRUE(result) << result.error;
    ASSERT_EQ(result.topLevelObjects.size(), 1u);
    auto o = as<NLObject>(result.topLevelObjects[0]);
    ASSERT_TRUE(o);
    EXPECT_EQ(o->title, "Remove & clean");
    EXPECT_TRUE(o->enabled);
    EXPECT_EQ(o->tag, -7);
    EXPECT_EQ(o->count, 1234567890123L);
    EXPECT_DOUBLE_EQ(o->alpha, 0.25);
    EXPECT_EQ(o->frame, NSMakeRect(10, 20.5, 300, -4));
    EXPECT_EQ(o->origin, NSMakePoint(1, 2));
    EXPECT_EQ(o->size, NSMakeSize(30, 40));
    EXPECT_EQ(std::vector<int>(o->rgba, o->rgba + 4), (std::vector<int>{255, 128, 0, 255}));
}

TEST_F(NibLoaderTest, PropertiesAreInheritedFromSuperclasses) {
    auto result = loadBody("<NLButton title=\"Go\" frame=\"0 0 1 1\"/>\n");
    ASSERT_TRUE(result) << result.error;
    auto b = as<NLButton>(result.topLevelObjects.at(0));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->title, "Go");
    EXPECT_EQ(b->frame, NSMakeRect(0, 0, 1, 1));
}

TEST(NibPropertyTextTest, RejectsMalformedValues) {
    struct Case {
        const char* property;
        const char* text;
    };
    const Case cases[] = {
        {"enabled", "yes"},   {"enabled", ""},   {"tag", "12abc"},   {"tag", "99999999999"},
        {"tag", "+-3"},       {"tag", "1.5"},    {"count", ""},      {"alpha", "nan"},
        {"alpha", "inf"},     {"alpha", "0x10"}, {"frame", "1 2 3"}, {"frame", "1 2 3 4 5"},
        {"frame", "1,2,3,4"}, {"origin", "1"},   {"size", "a b"},    {"color", "red"},
    };
    registerTestClasses();
    const ClassInfo* cls = ClassRegistry::shared().classNamed("NLObject");
    ASSERT_TRUE(cls);
    for (const Case& c : cases) {
        auto object = std::make_shared<NLObject>();
        const ClassInfo::PropertySetter* setter = cls->findProperty(c.property);
        ASSERT_TRUE(setter) << c.property;
        EXPECT_FALSE((*setter)(*object, c.text)) << c.property << "=\"" << c.text << "\"";
    }
}

TEST_F(NibLoaderTest, OutletsConnectToOwnerAndById) {
    auto result = loadBody(
        "<NLView id=\"main\" outlet=\"view\" title=\"main\">\n"
        "  <NLButton outlet=\"button\" delegate=\"main\" dataSource=\"owner\"/>\n"
        "</NLView>\n"
        "<NLView title=\"later\" delegate=\"late\"/>\n"
        "<NLObject id=\"late\"/>\n");
    ASSERT_TRUE(result) << result.error;
    ASSERT_EQ(result.topLevelObjects.size(), 3u);
    auto main = as<NLView>(result.topLevelObjects[0]);
    ASSERT_TRUE(main);
    EXPECT_EQ(owner_->view, main);
    ASSERT_EQ(main->children.size(), 1u);
    EXPECT_EQ(owner_->button, main->children[0]);
    EXPECT_EQ(owner_->button->delegate.lock(), main);
    EXPECT_EQ(owner_->button->dataSource.lock(), owner_);
    // A reference may name an object written further down.
    EXPECT_EQ(as<NLView>(result.topLevelObjects[1])->delegate.lock(), result.topLevelObjects[2]);
}

TEST_F(NibLoaderTest, TargetAndActionConnectToOwnerOrId) {
    auto result = loadBody(
        "<NLButton outlet=\"button\" target=\"owner\" action=\"click:\"/>\n"
        "<NLButton id=\"other\" target=\"other\" action=\"press:\"/>\n"
        "<NLButton title=\"first responder\" action=\"anything:\"/>\n");
    ASSERT_TRUE(result) << result.error;
    ASSERT_EQ(result.topLevelObjects.size(), 3u);
    auto first = owner_->button;
    ASSERT_TRUE(first);
    EXPECT_EQ(first->target.lock(), owner_);
    EXPECT_EQ(first->action, SEL("click:"));
    ASSERT_TRUE(first->target.lock()->performSelector(first->action, first));
    EXPECT_EQ(owner_->clicks, 1);

    auto other = as<NLButton>(result.topLevelObjects[1]);
    EXPECT_EQ(other->target.lock(), other);
    EXPECT_EQ(other->action, SEL("press:"));

    auto third = as<NLButton>(result.topLevelObjects[2]);
    EXPECT_TRUE(third->target.expired());
    EXPECT_EQ(third->action, SEL("anything:"));
}

TEST_F(NibLoaderTest, ChildrenAreAddedInDocumentOrder) {
    auto result = loadBody(
        "<NLView title=\"root\">\n"
        "  <NLObject title=\"a\"/>\n"
        "  <!-- a comment between children -->\n"
        "  <NLView title=\"b\"><NLObject title=\"b1\"/></NLView>\n"
        "  <NLObject title=\"c\"/>\n"
        "</NLView>\n");
    ASSERT_TRUE(result) << result.error;
    auto root = as<NLView>(result.topLevelObjects.at(0));
    ASSERT_EQ(root->children.size(), 3u);
    std::vector<std::string> titles;
    for (const auto& child : root->children)
        titles.push_back(as<NLObject>(child)->title);
    EXPECT_EQ(titles, (std::vector<std::string>{"a", "b", "c"}));
    auto b = as<NLView>(root->children[1]);
    ASSERT_EQ(b->children.size(), 1u);
    EXPECT_EQ(as<NLObject>(b->children[0])->title, "b1");
}

TEST_F(NibLoaderTest, AwakeFromNibGoesToChildrenBeforeParentsAndOwnerLast) {
    auto result = loadBody(
        "<NLView title=\"w\">\n"
        "  <NLView title=\"v\"><NLObject title=\"v1\"/><NLObject title=\"v2\"/></NLView>\n"
        "  <NLObject title=\"x\"/>\n"
        "</NLView>\n"
        "<NLObject title=\"top2\"/>\n");
    ASSERT_TRUE(result) << result.error;
    EXPECT_EQ(gAwakeLog, (std::vector<std::string>{"v1", "v2", "v", "x", "w", "top2", "owner"}));
}

TEST_F(NibLoaderTest, UnarchivingHookRunsAfterPropertiesBeforeConnections) {
    auto result =
        loadBody("<NLButton title=\"t\" outlet=\"button\" target=\"owner\" action=\"click:\"/>\n");
    ASSERT_TRUE(result) << result.error;
    auto b = owner_->button;
    ASSERT_TRUE(b);
    EXPECT_TRUE(b->unarchived);
    EXPECT_EQ(b->titleAtUnarchive, "t");
    EXPECT_FALSE(b->targetAtUnarchive);
    EXPECT_FALSE(b->ownerOutletAtUnarchive);
    EXPECT_FALSE(b->target.expired());
}

TEST_F(NibLoaderTest, DecodingHookChangesTheClassOfElementsInsideItOnly) {
    auto result = loadBody(
        "<NLView title=\"root\">\n"
        "  <NLDecoder>\n"
        "    <NLObject title=\"inside\"/>\n"
        "    <NLOtherDecoder title=\"nested\"><NLObject title=\"deeper\"/></NLOtherDecoder>\n"
        "    <NLObject title=\"after nested\"/>\n"
        "  </NLDecoder>\n"
        "  <NLObject title=\"outside\"/>\n"
        "</NLView>\n");
    ASSERT_TRUE(result) << result.error;
    auto root = as<NLView>(result.topLevelObjects.at(0));
    ASSERT_EQ(root->children.size(), 2u);
    auto decoder = as<NLDecoder>(root->children[0]);
    ASSERT_TRUE(decoder);
    ASSERT_EQ(decoder->children.size(), 3u);
    auto nested = as<NLDecoder>(decoder->children[1]);
    ASSERT_TRUE(nested);
    EXPECT_EQ(nested->titleAfterDecode, "nested");  // the properties are applied by decode()
    struct Case {
        const char* name;
        Ref<NSObject> object;
        const char* className;
    } cases[] = {
        {"inside", decoder->children[0], "NLSpecialObject"},
        {"deeper", nested->children.at(0), "NLOtherSpecialObject"},
        {"after nested", decoder->children[2], "NLSpecialObject"},
        {"outside", root->children[1], "NLObject"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.object->className(), c.className);
        EXPECT_EQ(as<NLObject>(c.object)->title, c.name);
    }
}

TEST_F(NibLoaderTest, DecodingHookThatSkipsItsElementIsAnError) {
    NLDecoder::skipDecode = true;
    auto result = loadBody("<NLView>\n  <NLDecoder title=\"x\"/>\n</NLView>\n");
    NLDecoder::skipDecode = false;
    EXPECT_EQ(result.error, "Test.ui:3: class \"NLDecoder\" did not decode its element");
}

TEST_F(NibLoaderTest, LoadsByNameFromTheMainBundle) {
    tmp_.write("res/ui/Named.ui",
               "<interface owner=\"NLOwner\"><NLView outlet=\"view\"/></interface>");
    fixtures::ScopedResources resources(tmp_ / "res");
    auto result = NibLoader::load("Named", owner_);
    ASSERT_TRUE(result) << result.error;
    EXPECT_TRUE(owner_->view);
    owner_->view = nullptr;
    ASSERT_TRUE(NibLoader::load("Named.ui", owner_));
    EXPECT_TRUE(owner_->view);

    auto missing = NibLoader::load("Missing", owner_);
    EXPECT_EQ(missing.error.rfind("Missing.ui: ", 0), 0u) << missing.error;
    EXPECT_THROW(NibLoader::loadOrThrow("Missing", owner_), NibLoadError);
}

TEST_F(NibLoaderTest, ErrorsNameFileAndLine) {
    struct Case {
        const char* xml;
        const char* error;
    };
    const Case cases[] = {
        {"<interface owner=\"NLOwner\">\n\n  <NSFoo/>\n</interface>",
         "Test.ui:3: unknown class \"NSFoo\""},
        {"<interface owner=\"NLOwner\">\n  <NLObject\n     title=\"x\"/>\n  <NLObject "
         "bogus=\"1\"/>\n"
         "</interface>",
         "Test.ui:4: unknown attribute \"bogus\" of class \"NLObject\""},
        {"<interface owner=\"NLOwner\">\n<NLView delegate=\"nobody\"/>\n</interface>",
         "Test.ui:2: unknown id \"nobody\""},
        {"<interface owner=\"NLOwner\">\n<NLButton target=\"owner\" action=\"nothing:\"/>\n"
         "</interface>",
         "Test.ui:2: \"NLOwner\" does not respond to \"nothing:\""},
        {"<interface owner=\"NLOwner\">\n\n<NLObject outlet=\"button\"/>\n</interface>",
         "Test.ui:3: outlet \"button\" of \"NLOwner\" cannot hold a \"NLObject\""},
        {"<interface owner=\"NLOwner\">\n<NLView id=\"v\"/>\n<NLView dataSource=\"v\"/>\n"
         "</interface>",
         "Test.ui:3: outlet \"dataSource\" of \"NLView\" cannot hold a \"NLView\""},
        {"<interface owner=\"NLOwner\">\n<NLObject outlet=\"nope\"/>\n</interface>",
         "Test.ui:2: the owner \"NLOwner\" has no outlet \"nope\""},
        {"<interface owner=\"NLOwner\">\n<NLObject tag=\"ten\"/>\n</interface>",
         "Test.ui:2: bad value \"ten\" for property \"tag\" of \"NLObject\""},
        {"<interface owner=\"NLOwner\">\n<NLObject id=\"a\"/>\n<NLObject id=\"a\"/>\n</interface>",
         "Test.ui:3: duplicate id \"a\""},
        {"<interface owner=\"NLOwner\">\n<NLObject>\n  <NLObject/>\n</NLObject>\n</interface>",
         "Test.ui:3: \"NLObject\" cannot hold a child \"NLObject\""},
        {"<interface owner=\"NLOwner\">\n<NLObject target=\"owner\"/>\n</interface>",
         "Test.ui:2: \"NLObject\" takes no target or action"},
        {"<interface owner=\"NLOwner\">\n<NLView>text</NLView>\n</interface>",
         "Test.ui:2: unexpected text inside <NLView>"},
        {"<interface owner=\"NLOtherOwner\"/>",
         "Test.ui:1: the owner is a \"NLOwner\", not a \"NLOtherOwner\""},
        {"<interface owner=\"Nowhere\"/>", "Test.ui:1: unknown class \"Nowhere\""},
        {"<?xml version=\"1.0\"?>\n<window/>",
         "Test.ui:2: root element must be <interface>, not <window>"},
        {"<interface/>\n<interface/>", "Test.ui:2: more than one root element"},
        {"<!-- nothing -->\n", "Test.ui: no root element"},
    };
    for (const Case& c : cases) {
        gAwakeLog.clear();
        auto result = loadFile(c.xml);
        EXPECT_EQ(result.error, c.error) << c.xml;
        EXPECT_TRUE(result.topLevelObjects.empty()) << c.xml;
        EXPECT_TRUE(gAwakeLog.empty()) << "awakeFromNib was sent for: " << c.xml;
    }
}

TEST_F(NibLoaderTest, MalformedXmlNamesTheLine) {
    auto result =
        loadFile("<interface owner=\"NLOwner\">\n  <NLView>\n  </NLObject>\n</interface>");
    EXPECT_EQ(result.error.rfind("Test.ui:3: malformed XML (", 0), 0u) << result.error;
    result = loadFile("<interface owner=\"NLOwner\">\n<NLView title=\"unterminated/>\n");
    EXPECT_EQ(result.error.rfind("Test.ui:", 0), 0u) << result.error;
    EXPECT_NE(result.error.find("malformed XML"), std::string::npos) << result.error;
}

TEST_F(NibLoaderTest, OwnerIsOptionalUntilReferredTo) {
    auto result = NibLoader::loadData("<interface><NLObject title=\"alone\"/></interface>",
                                      "Free.ui", nullptr);
    ASSERT_TRUE(result) << result.error;
    EXPECT_EQ(gAwakeLog, (std::vector<std::string>{"alone"}));

    result = NibLoader::loadData("<interface>\n<NLButton target=\"owner\"/></interface>", "Free.ui",
                                 nullptr);
    EXPECT_EQ(result.error, "Free.ui:2: no owner to refer to");
    result = NibLoader::loadData("<interface owner=\"NLOwner\"/>", "Free.ui", nullptr);
    EXPECT_EQ(result.error, "Free.ui:1: an owner of class \"NLOwner\" is needed");
}

TEST_F(NibLoaderTest, DeepNestingIsRefused) {
    std::string xml = "<interface>";
    for (int i = 0; i < 1000; ++i)
        xml += "<NLView>";
    for (int i = 0; i < 1000; ++i)
        xml += "</NLView>";
    xml += "</interface>";
    auto result = NibLoader::loadData(xml, "Deep.ui", nullptr);
    EXPECT_NE(result.error.find("nested too deeply"), std::string::npos) << result.error;
}

}  // namespace
