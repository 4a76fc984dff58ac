#pragma once
// The general pasteboard: the system clipboard's text, with the platform's types and change
// count. Other kinds of content are not carried.

#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/Ref.h"

class NSObject;

using NSPasteboardType = std::string;
/// Plain text (UTF-8).
extern const NSPasteboardType NSPasteboardTypeString;
/// The older name of the plain-text type; it reads and writes the same text.
extern const NSPasteboardType NSStringPboardType;

class NSPasteboard {
  private:
    struct Key {};

  public:
    /// The pasteboard that copy and paste use.
    static Ref<NSPasteboard> generalPasteboard();

    explicit NSPasteboard(Key) {}

    /// Empties the pasteboard and takes ownership of it; answers the new change count.
    long clearContents();
    /// Empties the pasteboard for new content of `types`; answers the new change count.
    long declareTypes(const std::vector<NSPasteboardType>& types, NSObject* owner);
    /// Writes `text` as `type`; false (and nothing written) for a type other than text.
    bool setString(const std::string& text, const NSPasteboardType& type);
    /// The text held as `type`, or nullopt when there is none or the type is not text.
    std::optional<std::string> stringForType(const NSPasteboardType& type) const;
    /// The types of what the pasteboard holds now.
    std::vector<NSPasteboardType> types() const;
    /// A number that grows each time this process changes the pasteboard's owner or content.
    long changeCount() const { return changeCount_; }

  private:
    static bool isTextType(const NSPasteboardType& type);

    long changeCount_ = 0;
    bool cleared_ = false;
};
