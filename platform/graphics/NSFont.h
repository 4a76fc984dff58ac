#pragma once
// Fonts: an installed face, found by PostScript or family name, at a size in points.

#include <string>
#include <string_view>

#include "platform/foundation/Ref.h"
#include "platform/graphics/FontResolver.h"

/// A component or coordinate (double, as on 64-bit platforms).
using CGFloat = double;

/// An immutable font: a resolved face and a point size.
class NSFont {
  private:
    struct Key {};  // only the factories construct

  public:
    /// The font for a PostScript name, an original platform font name or a family name, never
    /// nil: an unknown name falls back to the default face (logged once per name). A size that
    /// is not positive means 12 points, as on the platform.
    static Ref<NSFont> fontWithName(std::string_view name, CGFloat size);
    /// The system font (DejaVu Sans); a size that is not positive means 13 points.
    static Ref<NSFont> systemFontOfSize(CGFloat size);
    /// The bold system font (DejaVu Sans Bold); a size that is not positive means 13 points.
    static Ref<NSFont> boldSystemFontOfSize(CGFloat size);

    /// Built by the factories only.
    NSFont(Key, platform::detail::FontFace face, CGFloat size);

    /// The PostScript name of the resolved face ("DejaVuSans-Bold").
    const std::string& fontName() const { return face_.postscriptName; }
    /// The family of the resolved face ("DejaVu Sans").
    const std::string& familyName() const { return face_.family; }
    /// The face's full name ("DejaVu Sans Bold").
    const std::string& displayName() const { return face_.fullName; }
    /// The size in points.
    CGFloat pointSize() const { return size_; }
    /// "DejaVuSans-Bold 13.00 pt."
    std::string description() const;

    /// For the platform's text code: the face as Pango describes it.
    const platform::detail::FontFace& face() const { return face_; }
    /// A pango_font_description_from_string description with the size in points
    /// ("DejaVu Sans Bold 13").
    std::string pangoDescription() const;

  private:
    platform::detail::FontFace face_;
    CGFloat size_;
};
