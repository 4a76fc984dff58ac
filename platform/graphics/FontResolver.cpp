#include "platform/graphics/FontResolver.h"

#include <fontconfig/fontconfig.h>
#include <pango/pangofc-fontmap.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/NSLog.h"

namespace platform::detail {
namespace {

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct FontSetDeleter {
    void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};
struct ObjectSetDeleter {
    void operator()(FcObjectSet* s) const { FcObjectSetDestroy(s); }
};
struct DescriptionDeleter {
    void operator()(PangoFontDescription* d) const { pango_font_description_free(d); }
};
struct GCharDeleter {
    void operator()(char* s) const { g_free(s); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;
using FontSet = std::unique_ptr<FcFontSet, FontSetDeleter>;

// Names of the original platform's fonts, onto the PostScript names of the shipped family.
// DejaVu Sans has Book, Bold, ExtraLight and obliques; it has no Medium face, so medium
// names take Book, the face fontconfig itself picks for that weight.
const std::map<std::string, std::string, std::less<>>& aliases() {
    static const std::map<std::string, std::string, std::less<>> table = {
        {"HelveticaNeue", "DejaVuSans"},
        {"Helvetica Neue", "DejaVuSans"},
        {"HelveticaNeue-Bold", "DejaVuSans-Bold"},
        {"HelveticaNeue-Medium", "DejaVuSans"},
        {"HelveticaNeue-Light", "DejaVuSans-ExtraLight"},
        {"HelveticaNeue-UltraLight", "DejaVuSans-ExtraLight"},
        {"HelveticaNeue-Thin", "DejaVuSans-ExtraLight"},
        {"HelveticaNeue-Italic", "DejaVuSans-Oblique"},
        {"HelveticaNeue-LightItalic", "DejaVuSans-Oblique"},
        {"HelveticaNeue-BoldItalic", "DejaVuSans-BoldOblique"},
        {"HelveticaNeue-CondensedBold", "DejaVuSansCondensed-Bold"},
        {"Helvetica", "DejaVuSans"},
        {"Helvetica-Bold", "DejaVuSans-Bold"},
        {"Helvetica-Light", "DejaVuSans-ExtraLight"},
        {"Helvetica-Oblique", "DejaVuSans-Oblique"},
        {"Helvetica-BoldOblique", "DejaVuSans-BoldOblique"},
        {"LucidaGrande", "DejaVuSans"},
        {"Lucida Grande", "DejaVuSans"},
        {"LucidaGrande-Bold", "DejaVuSans-Bold"},
        {".LucidaGrandeUI", "DejaVuSans"},
        {".LucidaGrandeUI-Bold", "DejaVuSans-Bold"},
        {".HelveticaNeueDeskInterface-Regular", "DejaVuSans"},
        {".HelveticaNeueDeskInterface-MediumP4", "DejaVuSans"},
        {".HelveticaNeueDeskInterface-Bold", "DejaVuSans-Bold"},
        {".HelveticaNeueDeskInterface-Light", "DejaVuSans-ExtraLight"},
        {".AppleSystemUIFont", "DejaVuSans"},
        {".AppleSystemUIFontBold", "DejaVuSans-Bold"},
        {"SFNSText", "DejaVuSans"},
        {"SFNSDisplay", "DejaVuSans"},
        {".SFNSText", "DejaVuSans"},
        {".SFNSDisplay", "DejaVuSans"},
        {".SFNSText-Regular", "DejaVuSans"},
        {".SFNSDisplay-Regular", "DejaVuSans"},
        {".SFNSText-Medium", "DejaVuSans"},
        {".SFNSDisplay-Medium", "DejaVuSans"},
        {"SFNSText-Bold", "DejaVuSans-Bold"},
        {"SFNSDisplay-Bold", "DejaVuSans-Bold"},
        {".SFNSText-Bold", "DejaVuSans-Bold"},
        {".SFNSDisplay-Bold", "DejaVuSans-Bold"},
        {"SFNSText-Light", "DejaVuSans-ExtraLight"},
        {"SFNSDisplay-Light", "DejaVuSans-ExtraLight"},
        {".SFNSText-Light", "DejaVuSans-ExtraLight"},
        {".SFNSDisplay-Light", "DejaVuSans-ExtraLight"},
        {"ArialMT", "DejaVuSans"},
        {"Arial", "DejaVuSans"},
        {"Arial-BoldMT", "DejaVuSans-Bold"},
        {"Menlo", "DejaVuSansMono"},
        {"Menlo-Regular", "DejaVuSansMono"},
        {"Menlo-Bold", "DejaVuSansMono-Bold"},
        {"Monaco", "DejaVuSansMono"},
    };
    return table;
}

bool fontconfigReady() {
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] { ready = FcInit() == FcTrue; });
    return ready;
}

std::string stringOf(FcPattern* pattern, const char* object) {
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, 0, &value) != FcResultMatch || !value) return {};
    return reinterpret_cast<const char*>(value);
}

int intOf(FcPattern* pattern, const char* object, int fallback) {
    int value = 0;
    if (FcPatternGetInteger(pattern, object, 0, &value) != FcResultMatch) return fallback;
    return value;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

FontFace faceOf(FcPattern* pattern) {
    FontFace face;
    face.postscriptName = stringOf(pattern, FC_POSTSCRIPT_NAME);
    face.family = stringOf(pattern, FC_FAMILY);
    face.fullName = stringOf(pattern, FC_FULLNAME);
    face.file = stringOf(pattern, FC_FILE);
    if (face.fullName.empty()) face.fullName = face.family;
    std::unique_ptr<PangoFontDescription, DescriptionDeleter> description(
        pango_fc_font_description_from_pattern(pattern, FALSE));
    if (description) {
        if (const char* family = pango_font_description_get_family(description.get()))
            face.family = family;
        face.weight = static_cast<int>(pango_font_description_get_weight(description.get()));
        face.slant = static_cast<int>(pango_font_description_get_style(description.get()));
        face.stretch = static_cast<int>(pango_font_description_get_stretch(description.get()));
        std::unique_ptr<char, GCharDeleter> text(
            pango_font_description_to_string(description.get()));
        if (text) face.pangoDescription = text.get();
    }
    if (face.pangoDescription.empty()) face.pangoDescription = face.family;
    return face;
}

/// The installed faces whose `object` equals `value`.
FontSet listFaces(const char* object, const std::string& value) {
    if (!fontconfigReady()) return nullptr;
    Pattern pattern(FcPatternCreate());
    if (!pattern) return nullptr;
    FcPatternAddString(pattern.get(), object, reinterpret_cast<const FcChar8*>(value.c_str()));
    std::unique_ptr<FcObjectSet, ObjectSetDeleter> objects(
        FcObjectSetBuild(FC_FAMILY, FC_STYLE, FC_WEIGHT, FC_SLANT, FC_WIDTH, FC_POSTSCRIPT_NAME,
                         FC_FULLNAME, FC_FILE, static_cast<char*>(nullptr)));
    if (!objects) return nullptr;
    return FontSet(FcFontList(nullptr, pattern.get(), objects.get()));
}

std::vector<FcPattern*> patternsOf(const FontSet& set) {
    if (!set) return {};
    return std::vector<FcPattern*>(set->fonts, set->fonts + set->nfont);
}

std::optional<FontFace> byPostScriptName(const std::string& name) {
    FontSet set = listFaces(FC_POSTSCRIPT_NAME, name);
    std::vector<FcPattern*> faces = patternsOf(set);
    // The same face may be installed twice: prefer the exact spelling, then the file path.
    std::erase_if(faces, [&](FcPattern* p) {
        return !equalIgnoringCase(stringOf(p, FC_POSTSCRIPT_NAME), name);
    });
    if (faces.empty()) return std::nullopt;
    std::sort(faces.begin(), faces.end(), [&](FcPattern* a, FcPattern* b) {
        bool exactA = stringOf(a, FC_POSTSCRIPT_NAME) == name;
        bool exactB = stringOf(b, FC_POSTSCRIPT_NAME) == name;
        if (exactA != exactB) return exactA;
        return stringOf(a, FC_FILE) < stringOf(b, FC_FILE);
    });
    return faceOf(faces.front());
}

/// The regular face of a family: upright, normal width, weight nearest to regular.
std::optional<FontFace> byFamilyName(const std::string& name) {
    FontSet set = listFaces(FC_FAMILY, name);
    std::vector<FcPattern*> faces = patternsOf(set);
    if (faces.empty()) return std::nullopt;
    auto score = [](FcPattern* p) {
        int slant = intOf(p, FC_SLANT, FC_SLANT_ROMAN) != FC_SLANT_ROMAN ? 1000 : 0;
        int width = std::abs(intOf(p, FC_WIDTH, FC_WIDTH_NORMAL) - FC_WIDTH_NORMAL) * 5;
        int weight = std::abs(intOf(p, FC_WEIGHT, FC_WEIGHT_REGULAR) - FC_WEIGHT_REGULAR);
        return slant + width + weight;
    };
    std::sort(faces.begin(), faces.end(), [&](FcPattern* a, FcPattern* b) {
        int sa = score(a), sb = score(b);
        if (sa != sb) return sa < sb;
        return stringOf(a, FC_POSTSCRIPT_NAME) < stringOf(b, FC_POSTSCRIPT_NAME);
    });
    return faceOf(faces.front());
}

/// The default face even where the shipped family is missing: fontconfig's sans-serif, and
/// at worst a bare description that Pango resolves by itself.
FontFace defaultFace(bool bold) {
    if (auto face = byPostScriptName(bold ? "DejaVuSans-Bold" : "DejaVuSans")) return *face;
    if (fontconfigReady()) {
        Pattern pattern(FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif")));
        if (pattern) {
            FcPatternAddInteger(pattern.get(), FC_WEIGHT,
                                bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
            FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
            FcDefaultSubstitute(pattern.get());
            FcResult result = FcResultNoMatch;
            Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
            if (match) return faceOf(match.get());
        }
    }
    FontFace face;
    face.family = face.fullName = "Sans";
    face.postscriptName = bold ? "Sans-Bold" : "Sans";
    face.weight = bold ? 700 : 400;
    face.pangoDescription = bold ? "Sans Bold" : "Sans";
    return face;
}

struct Cache {
    std::mutex mutex;
    std::map<std::string, FontFace, std::less<>> faces;
};

Cache& cache() {
    static Cache* instance = new Cache;  // fonts may be asked for while statics are destroyed
    return *instance;
}

}  // namespace

FontFace FontResolver::resolve(std::string_view name) {
    Cache& c = cache();
    std::optional<FontFace> fallback;
    {
        std::lock_guard lock(c.mutex);
        if (auto it = c.faces.find(name); it != c.faces.end()) return it->second;

        std::string key(name);
        std::optional<FontFace> face;
        auto alias = aliases().find(name);
        if (alias != aliases().end()) {
            face = byPostScriptName(alias->second);
            if (!face) face = defaultFace(false);  // the shipped family is missing
        }
        if (!face && !key.empty()) face = byPostScriptName(key);
        if (!face && !key.empty()) face = byFamilyName(key);
        if (!face) face = fallback = defaultFace(false);
        c.faces.emplace(std::move(key), *face);
        if (!fallback) return *face;
    }
    // Logged outside the lock, and only by the call that filled the cache for this name.
    NSLog("Font \"%@\" is not installed; using %@ instead", std::string(name),
          fallback->postscriptName);
    return *fallback;
}

FontFace FontResolver::systemFace(bool bold) {
    static const FontFace regular = defaultFace(false);
    static const FontFace boldFace = defaultFace(true);
    return bold ? boldFace : regular;
}

}  // namespace platform::detail
