// Catches fonts that resolve to the wrong face (Pango silently swaps PostScript names for a
// regular fallback), aliases of the original platform's fonts that miss the shipped family,
// fallbacks that are not logged or logged more than once, and bad sizes.
#include "platform/graphics/NSFont.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "platform/testing/LogCapture.h"

namespace {

/// Pango weights, styles and stretches, as stored in FontFace.
constexpr int kUltraLight = 200, kNormal = 400, kBold = 700;
constexpr int kUpright = 0, kOblique = 1, kItalic = 2;
constexpr int kSemiCondensed = 3, kNormalWidth = 4;  // DejaVu Sans Condensed is semi-condensed

struct FaceCase {
    const char* name;
    const char* fontName;
    const char* family;
    int weight, slant, stretch;
};

void expectFace(const FaceCase& c) {
    SCOPED_TRACE(c.name);
    Ref<NSFont> font = NSFont::fontWithName(c.name, 13);
    ASSERT_TRUE(font);
    EXPECT_EQ(font->fontName(), c.fontName);
    EXPECT_EQ(font->familyName(), c.family);
    EXPECT_EQ(font->face().weight, c.weight);
    EXPECT_EQ(font->face().slant, c.slant);
    EXPECT_EQ(font->face().stretch, c.stretch);
    EXPECT_EQ(font->pointSize(), 13);
    // What Pango is handed names the family, never the PostScript name it would not know.
    EXPECT_TRUE(font->face().pangoDescription.starts_with(c.family))
        << font->face().pangoDescription;
}

TEST(NSFontTest, PostScriptNamesResolveToTheirFace) {
    platform::LogCapture capture;
    const FaceCase cases[] = {
        {"DejaVuSans", "DejaVuSans", "DejaVu Sans", kNormal, kUpright, kNormalWidth},
        {"DejaVuSans-Bold", "DejaVuSans-Bold", "DejaVu Sans", kBold, kUpright, kNormalWidth},
        {"DejaVuSans-ExtraLight", "DejaVuSans-ExtraLight", "DejaVu Sans", kUltraLight, kUpright,
         kNormalWidth},
        {"DejaVuSans-Oblique", "DejaVuSans-Oblique", "DejaVu Sans", kNormal, kOblique,
         kNormalWidth},
        {"DejaVuSansCondensed-Bold", "DejaVuSansCondensed-Bold", "DejaVu Sans", kBold, kUpright,
         kSemiCondensed},
        {"DejaVuSerif-Bold", "DejaVuSerif-Bold", "DejaVu Serif", kBold, kUpright, kNormalWidth},
        {"NotoSans-Italic", "NotoSans-Italic", "Noto Sans", kNormal, kItalic, kNormalWidth},
        {"dejavusans-bold", "DejaVuSans-Bold", "DejaVu Sans", kBold, kUpright, kNormalWidth},
    };
    for (const FaceCase& c : cases)
        expectFace(c);
    EXPECT_TRUE(capture.lines().empty());
}

TEST(NSFontTest, OriginalPlatformNamesMapOntoTheShippedFamily) {
    platform::LogCapture capture;
    const FaceCase cases[] = {
        {"HelveticaNeue", "DejaVuSans", "DejaVu Sans", kNormal, kUpright, kNormalWidth},
        {"HelveticaNeue-Bold", "DejaVuSans-Bold", "DejaVu Sans", kBold, kUpright, kNormalWidth},
        {"HelveticaNeue-Light", "DejaVuSans-ExtraLight", "DejaVu Sans", kUltraLight, kUpright,
         kNormalWidth},
        {"HelveticaNeue-Medium", "DejaVuSans", "DejaVu Sans", kNormal, kUpright, kNormalWidth},
        {"Helvetica", "DejaVuSans", "DejaVu Sans", kNormal, kUpright, kNormalWidth},
        {"Helvetica-Bold", "DejaVuSans-Bold", "DejaVu Sans", kBold, kUpright, kNormalWidth},
        {"LucidaGrande", "DejaVuSans", "DejaVu Sans", kNormal, kUpright, kNormalWidth},
        {"LucidaGrande-Bold", "DejaVuSans-Bold", "DejaVu Sans", kBold, kUpright, kNormalWidth},
        {".HelveticaNeueDeskInterface-Regular", "DejaVuSans", "DejaVu Sans", kNormal, kUpright,
         kNormalWidth},
        {"SFNSText", "DejaVuSans", "DejaVu Sans", kNormal, kUpright, kNormalWidth},
    };
    for (const FaceCase& c : cases)
        expectFace(c);
    EXPECT_TRUE(capture.lines().empty());
}

TEST(NSFontTest, FamilyNamesGiveTheirRegularFace) {
    platform::LogCapture capture;
    const FaceCase cases[] = {
        {"DejaVu Sans", "DejaVuSans", "DejaVu Sans", kNormal, kUpright, kNormalWidth},
        {"DejaVu Sans Mono", "DejaVuSansMono", "DejaVu Sans Mono", kNormal, kUpright, kNormalWidth},
        {"Noto Sans", "NotoSans-Regular", "Noto Sans", kNormal, kUpright, kNormalWidth},
        {"DejaVu Sans Light", "DejaVuSans-ExtraLight", "DejaVu Sans", kUltraLight, kUpright,
         kNormalWidth},
    };
    for (const FaceCase& c : cases)
        expectFace(c);
    EXPECT_TRUE(capture.lines().empty());
}

TEST(NSFontTest, UnknownNameFallsBackAndLogsOnce) {
    platform::LogCapture capture;
    static std::atomic<int> run{0};  // a fresh name each run: the resolver caches names
    const std::string name = "NoSuchFace-" + std::to_string(getpid()) + "-" + std::to_string(run++);
    std::vector<std::thread> threads;
    std::atomic<int> fallbacks{0};
    for (int i = 0; i < 4; ++i) {
        threads.emplace_back([&] {
            for (int j = 0; j < 5; ++j) {
                Ref<NSFont> font = NSFont::fontWithName(name, 11);
                if (font && font->fontName() == "DejaVuSans" && font->pointSize() == 11)
                    ++fallbacks;
            }
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(fallbacks, 20);
    std::vector<std::string> lines = capture.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("\"" + name + "\""), std::string::npos) << lines[0];

    // Degenerate names fall back too, without crashing.
    for (const char* bad : {"", " ", "\xff\xfe", "-Bold"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(NSFont::fontWithName(bad, 12)->fontName(), "DejaVuSans");
    }
}

TEST(NSFontTest, SystemFontsAndSizes) {
    EXPECT_EQ(NSFont::systemFontOfSize(13)->fontName(), "DejaVuSans");
    EXPECT_EQ(NSFont::boldSystemFontOfSize(13)->fontName(), "DejaVuSans-Bold");
    EXPECT_EQ(NSFont::boldSystemFontOfSize(13)->face().weight, kBold);
    EXPECT_EQ(NSFont::boldSystemFontOfSize(13)->displayName(), "DejaVu Sans Bold");

    double nan = std::nan("");
    struct Case {
        double given, name, system;
    } cases[] = {{10.5, 10.5, 10.5}, {0, 12, 13}, {-4, 12, 13}, {nan, 12, 13}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given);
        EXPECT_EQ(NSFont::fontWithName("DejaVuSans", c.given)->pointSize(), c.name);
        EXPECT_EQ(NSFont::systemFontOfSize(c.given)->pointSize(), c.system);
        EXPECT_EQ(NSFont::boldSystemFontOfSize(c.given)->pointSize(), c.system);
    }
}

TEST(NSFontTest, PangoDescriptionCarriesFaceAndSize) {
    EXPECT_EQ(NSFont::fontWithName("HelveticaNeue-Bold", 13)->pangoDescription(),
              "DejaVu Sans Bold 13");
    EXPECT_EQ(NSFont::fontWithName("DejaVuSans", 10.5)->pangoDescription(), "DejaVu Sans 10.5");
    EXPECT_EQ(NSFont::fontWithName("DejaVuSans-Bold", 12)->description(),
              "DejaVuSans-Bold 12.00 pt.");
}

}  // namespace
