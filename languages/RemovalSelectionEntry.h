#pragma once
// One entry of a removal selection: a top node of the Languages screen's shown tree and the
// leaves of it whose folders were chosen, in their order. In the confirmation dialog's tree
// an entry is a group row.

#include <string>
#include <vector>

#include "languages/ZRTreeNode.h"
#include "platform/foundation/NSObject.h"

class RemovalSelectionEntry : public NSObject {
  public:
    static Ref<RemovalSelectionEntry> make(const Ref<ZRTreeNode>& topNode,
                                           std::vector<Ref<ZRTreeNode>> leaves) {
        auto entry = std::make_shared<RemovalSelectionEntry>();
        entry->image_ = topNode;
        entry->leaves_ = std::move(leaves);
        return entry;
    }

    /// The top node itself (the entry's "image").
    const Ref<ZRTreeNode>& image() const { return image_; }
    /// The key the leaves stand under: the top node's title.
    std::string title() const { return image_ ? image_->title() : std::string(); }
    /// The chosen leaves, in their order.
    const std::vector<Ref<ZRTreeNode>>& leaves() const { return leaves_; }
    std::vector<Ref<ZRTreeNode>>& leaves() { return leaves_; }

  private:
    Ref<ZRTreeNode> image_;
    std::vector<Ref<ZRTreeNode>> leaves_;
};

/// A removal selection: one entry per top node that gives folders, in the shown tree's order.
using RemovalSelection = std::vector<Ref<RemovalSelectionEntry>>;
