#include "languages/ZRTreeNode.h"

ZRTreeNode::ZRTreeNode() = default;

Ref<ZRTreeNode> ZRTreeNode::make() {
    return std::make_shared<ZRTreeNode>();
}

Ref<ZRTreeNode> ZRTreeNode::initLeaf() {
    auto node = make();
    node->setLeaf(true);
    return node;
}

Ref<ZRTreeNode> ZRTreeNode::initWithDictionary(const KBNodeDictionary& dictionary) {
    auto node = make();
    node->loadDictionary(dictionary);
    return node;
}

Ref<ZRTreeNode> ZRTreeNode::initWithCoder(const KBNodeCoder& coder) {
    auto node = make();
    node->loadCoder(coder);
    return node;
}

Ref<KBBaseNode> ZRTreeNode::newNode() const {
    return make();
}

Ref<ZRTreeNode> ZRTreeNode::copy() const {
    return std::static_pointer_cast<ZRTreeNode>(copyWithZone());
}

Ref<ZRTreeNode> ZRTreeNode::faterNode() const {
    std::lock_guard guard(faterLock_);
    return faterNode_.lock();
}

void ZRTreeNode::setFaterNode(const Ref<ZRTreeNode>& node) {
    std::lock_guard guard(faterLock_);
    faterNode_ = node;
}

std::vector<std::string> ZRTreeNode::mutableKeys() const {
    std::vector<std::string> keys = KBBaseNode::mutableKeys();
    keys.insert(keys.end(), {"image", "count", "size", "path"});
    return keys;
}

std::optional<KBNodeValue> ZRTreeNode::valueForKey(const std::string& key) const {
    if (key == "image") return image_ ? std::optional<KBNodeValue>(image_) : std::nullopt;
    if (key == "count") return KBNodeValue(count_);
    if (key == "size") return KBNodeValue(size_);
    if (key == "path") return KBNodeValue(path_);
    return KBBaseNode::valueForKey(key);
}

void ZRTreeNode::setValueForKey(const std::optional<KBNodeValue>& value, const std::string& key) {
    std::string* text = key == "count"  ? &count_
                        : key == "size" ? &size_
                        : key == "path" ? &path_
                                        : nullptr;
    if (text) {
        if (!value)
            text->clear();
        else if (auto given = std::get_if<std::string>(&*value))
            *text = *given;
        return;
    }
    if (key == "image") {
        if (!value)
            image_.reset();
        else if (auto given = std::get_if<Ref<NSImage>>(&*value))
            image_ = *given;
        return;
    }
    KBBaseNode::setValueForKey(value, key);
}
