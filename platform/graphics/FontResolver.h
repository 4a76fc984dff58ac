#pragma once
// Finding the installed face for a font name: PostScript names and family names through
// fontconfig, names of the original platform's fonts through an alias table onto DejaVu Sans.

#include <string>
#include <string_view>

namespace platform::detail {

/// An installed face, described as Pango wants it (family, weight, style, stretch).
struct FontFace {
    std::string postscriptName;    ///< "DejaVuSans-Bold"
    std::string family;            ///< the family Pango is given: "DejaVu Sans"
    std::string fullName;          ///< "DejaVu Sans Bold"
    int weight = 400;              ///< Pango weight: 100 thin, 400 normal, 700 bold, 1000
    int slant = 0;                 ///< Pango style: 0 normal, 1 oblique, 2 italic
    int stretch = 4;               ///< Pango stretch: 0 ultra-condensed, 4 normal, 8 expanded
    std::string pangoDescription;  ///< pango_font_description_to_string, without size
    std::string file;              ///< the font file

    bool operator==(const FontFace&) const = default;
};

/// Resolves font names to faces; results are cached, calls are thread-safe.
class FontResolver {
  public:
    /// The face for a PostScript name ("DejaVuSans-Bold"), an alias of the original platform's
    /// fonts ("HelveticaNeue-Light") or a family name ("DejaVu Sans"). An unknown name gives the
    /// default face and logs one line through NSLog, once per name.
    static FontFace resolve(std::string_view name);
    /// The system font's face: DejaVu Sans Book, or Bold.
    static FontFace systemFace(bool bold);
    /// The family used for aliases and fallbacks.
    static constexpr std::string_view kDefaultFamily = "DejaVu Sans";
};

}  // namespace platform::detail
