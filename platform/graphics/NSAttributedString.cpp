#include "platform/graphics/NSAttributedString.h"

#include <algorithm>

#include "platform/foundation/NSString.h"

const std::string NSFontAttributeName = "NSFont";
const std::string NSForegroundColorAttributeName = "NSColor";
const std::string NSBackgroundColorAttributeName = "NSBackgroundColor";
const std::string NSParagraphStyleAttributeName = "NSParagraphStyle";
const std::string NSUnderlineStyleAttributeName = "NSUnderline";
const std::string NSShadowAttributeName = "NSShadow";

NSAttributedString::NSAttributedString(std::string text, const NSAttributes& attributes)
    : text_(std::move(text)), length_(ns::length(text_)) {
    if (length_ > 0) segments_.push_back({length_, attributes});
}

NSAttributes NSAttributedString::attributesAtIndex(std::size_t index,
                                                   NSRange* effectiveRange) const {
    std::size_t start = 0;
    for (const Segment& s : segments_) {
        if (index < start + s.length) {
            if (effectiveRange) *effectiveRange = NSMakeRange(start, s.length);
            return s.attributes;
        }
        start += s.length;
    }
    if (effectiveRange) *effectiveRange = NSMakeRange(NSNotFound, 0);
    return {};
}

std::any NSAttributedString::attributeAtIndex(const std::string& name, std::size_t index) const {
    NSAttributes a = attributesAtIndex(index);
    auto it = a.find(name);
    return it == a.end() ? std::any() : it->second;
}

std::vector<NSAttributedString::Run> NSAttributedString::runs() const {
    std::vector<Run> out;
    std::size_t start = 0;
    for (const Segment& s : segments_) {
        out.push_back({NSMakeRange(start, s.length), s.attributes});
        start += s.length;
    }
    return out;
}

std::size_t NSAttributedString::splitAt(std::size_t at) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < segments_.size(); ++i) {
        if (at == start) return i;
        if (at < start + segments_[i].length) {
            Segment tail{start + segments_[i].length - at, segments_[i].attributes};
            segments_[i].length = at - start;
            segments_.insert(segments_.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                             std::move(tail));
            return i + 1;
        }
        start += segments_[i].length;
    }
    return segments_.size();
}

namespace {
NSRange clip(NSRange r, std::size_t length) {
    if (r.location >= length) return NSMakeRange(length, 0);
    return NSMakeRange(r.location, std::min(r.length, length - r.location));
}
}  // namespace

void NSMutableAttributedString::addAttribute(const std::string& name, const std::any& value,
                                             NSRange range) {
    addAttributes({{name, value}}, range);
}

void NSMutableAttributedString::addAttributes(const NSAttributes& attributes, NSRange range) {
    range = clip(range, length_);
    if (range.length == 0) return;
    std::size_t first = splitAt(range.location);
    std::size_t end = splitAt(NSMaxRange(range));
    for (std::size_t i = first; i < end; ++i)
        for (const auto& [k, v] : attributes)
            segments_[i].attributes[k] = v;
}

void NSMutableAttributedString::setAttributes(const NSAttributes& attributes, NSRange range) {
    range = clip(range, length_);
    if (range.length == 0) return;
    std::size_t first = splitAt(range.location);
    std::size_t end = splitAt(NSMaxRange(range));
    for (std::size_t i = first; i < end; ++i)
        segments_[i].attributes = attributes;
}

void NSMutableAttributedString::removeAttribute(const std::string& name, NSRange range) {
    range = clip(range, length_);
    if (range.length == 0) return;
    std::size_t first = splitAt(range.location);
    std::size_t end = splitAt(NSMaxRange(range));
    for (std::size_t i = first; i < end; ++i)
        segments_[i].attributes.erase(name);
}

void NSMutableAttributedString::appendAttributedString(const NSAttributedString& other) {
    text_ += other.string();
    length_ += other.length();
    for (const Run& r : other.runs())
        segments_.push_back({r.range.length, r.attributes});
}
