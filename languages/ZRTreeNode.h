#pragma once
// A row of the Languages screen's trees: a tree node with an icon, count and size texts, the
// path of the localisation folder that a leaf stands for, a three-state tick and a
// non-retained link to the group node that holds it.

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "languages/KBBaseNode.h"
#include "platform/foundation/FileEntryRecord.h"

class ZRTreeNode : public KBBaseNode {
  public:
    /// Title "Untitled", an empty image, "" texts, state 0, no parent link.
    static Ref<ZRTreeNode> make();
    /// A leaf whose self-copy keeps the initial values.
    static Ref<ZRTreeNode> initLeaf();
    /// A node from its dictionary form.
    static Ref<ZRTreeNode> initWithDictionary(const KBNodeDictionary& dictionary);
    /// A node from its archive form.
    static Ref<ZRTreeNode> initWithCoder(const KBNodeCoder& coder);

    ZRTreeNode();

    const Ref<NSImage>& image() const { return image_; }
    void setImage(const Ref<NSImage>& image) { image_ = image; }
    const std::string& count() const { return count_; }
    void setCount(const std::string& count) { count_ = count; }
    const std::string& size() const { return size_; }
    void setSize(const std::string& size) { size_ = size; }
    /// Set once when the leaf is made; read by the delete executor on its background thread.
    const std::string& path() const { return path_; }
    void setPath(const std::string& path) { path_ = path; }
    /// What was recorded of the folder at path when the leaf was made: the delete executor
    /// removes that folder and nothing else. Set with the path; nil for a node made otherwise
    /// (copies included), which is not removed.
    const std::optional<platform::FileEntryRecord>& entryRecord() const { return entryRecord_; }
    void setEntryRecord(const std::optional<platform::FileEntryRecord>& record) {
        entryRecord_ = record;
    }
    /// 0 unticked, 1 ticked, 2 partly ticked (stored unchecked).
    std::int32_t selectState() const { return selectState_; }
    void setSelectState(std::int32_t state) { selectState_ = state; }
    /// The group node holding this leaf; nullptr once that node is gone. Safe from any thread.
    Ref<ZRTreeNode> faterNode() const;
    void setFaterNode(const Ref<ZRTreeNode>& node);

    std::vector<std::string> mutableKeys() const override;
    std::optional<KBNodeValue> valueForKey(const std::string& key) const override;
    void setValueForKey(const std::optional<KBNodeValue>& value, const std::string& key) override;

    /// copyWithZone, typed.
    Ref<ZRTreeNode> copy() const;

  protected:
    Ref<KBBaseNode> newNode() const override;

  private:
    Ref<NSImage> image_ = NSImage::image();
    std::string count_;
    std::string size_;
    std::string path_;
    std::optional<platform::FileEntryRecord> entryRecord_;
    std::int32_t selectState_ = 0;
    mutable std::mutex faterLock_;
    WeakRef<ZRTreeNode> faterNode_;
};
