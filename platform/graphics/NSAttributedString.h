#pragma once
// Text with attributes over ranges (font, colour, paragraph style, underline, shadow).
// Ranges count UTF-16 units, as the platform counts them.

#include <any>
#include <map>
#include <string>
#include <vector>

#include "platform/foundation/NSGeometry.h"
#include "platform/foundation/NSObject.h"

/// Attribute name to value: Ref<NSFont>, Ref<NSColor>, Ref<NSParagraphStyle>, an integer, ...
using NSAttributes = std::map<std::string, std::any>;

extern const std::string NSFontAttributeName;
extern const std::string NSForegroundColorAttributeName;
extern const std::string NSBackgroundColorAttributeName;
extern const std::string NSParagraphStyleAttributeName;
extern const std::string NSUnderlineStyleAttributeName;
extern const std::string NSShadowAttributeName;

class NSAttributedString : public NSObject {
  public:
    NSAttributedString() = default;
    explicit NSAttributedString(std::string text, const NSAttributes& attributes = {});
    static Ref<NSAttributedString> make(std::string text, const NSAttributes& attributes = {}) {
        return std::make_shared<NSAttributedString>(std::move(text), attributes);
    }

    /// The plain text.
    const std::string& string() const { return text_; }
    /// The length in UTF-16 units.
    std::size_t length() const { return length_; }
    /// The attributes at `index` and, when asked, the range over which they hold.
    NSAttributes attributesAtIndex(std::size_t index, NSRange* effectiveRange = nullptr) const;
    /// The value of one attribute at `index`, or an empty value.
    std::any attributeAtIndex(const std::string& name, std::size_t index) const;
    /// Every run of equal attributes, in order.
    struct Run {
        NSRange range;
        NSAttributes attributes;
    };
    std::vector<Run> runs() const;

    std::string description() const override { return text_; }

  protected:
    struct Segment {
        std::size_t length;
        NSAttributes attributes;
    };
    /// Splits segments so that one begins at `at`; returns its index.
    std::size_t splitAt(std::size_t at);

    std::string text_;
    std::size_t length_ = 0;
    std::vector<Segment> segments_;
};

class NSMutableAttributedString : public NSAttributedString {
  public:
    using NSAttributedString::NSAttributedString;
    static Ref<NSMutableAttributedString> make(std::string text,
                                               const NSAttributes& attributes = {}) {
        return std::make_shared<NSMutableAttributedString>(std::move(text), attributes);
    }

    /// Sets one attribute over `range` (clipped to the text).
    void addAttribute(const std::string& name, const std::any& value, NSRange range);
    /// Sets several attributes over `range`.
    void addAttributes(const NSAttributes& attributes, NSRange range);
    /// Replaces every attribute over `range`.
    void setAttributes(const NSAttributes& attributes, NSRange range);
    void removeAttribute(const std::string& name, NSRange range);
    /// Appends text with its attributes.
    void appendAttributedString(const NSAttributedString& other);
    /// Grouping of edits; nothing is deferred here.
    void beginEditing() {}
    void endEditing() {}
};
