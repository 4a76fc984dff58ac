#include "languages/KBBaseNode.h"

#include <algorithm>

#include "languages/KBExtensions.h"
#include "platform/foundation/NSString.h"

namespace {

template <class T>
const T* as(const std::optional<KBNodeValue>& value) {
    return value ? std::get_if<T>(&*value) : nullptr;
}

}  // namespace

const KBNodeValue* KBNodeDictionary::objectForKey(const std::string& key) const {
    auto found = entries.find(key);
    return found == entries.end() ? nullptr : &found->second;
}

void KBNodeCoder::encodeObject(const std::optional<KBNodeValue>& value, const std::string& key) {
    values_[key] = value;
}

std::optional<KBNodeValue> KBNodeCoder::decodeObjectForKey(const std::string& key) const {
    auto found = values_.find(key);
    return found == values_.end() ? std::nullopt : found->second;
}

KBBaseNode::KBBaseNode() = default;

Ref<KBBaseNode> KBBaseNode::make() {
    return std::make_shared<KBBaseNode>();
}

Ref<KBBaseNode> KBBaseNode::initLeaf() {
    auto node = make();
    node->setLeaf(true);
    return node;
}

Ref<KBBaseNode> KBBaseNode::initWithDictionary(const KBNodeDictionary& dictionary) {
    auto node = make();
    node->loadDictionary(dictionary);
    return node;
}

Ref<KBBaseNode> KBBaseNode::initWithCoder(const KBNodeCoder& coder) {
    auto node = make();
    node->loadCoder(coder);
    return node;
}

Ref<KBBaseNode> KBBaseNode::newNode() const {
    return make();
}

void KBBaseNode::setProperties(const std::optional<PlistValue>& properties) {
    properties_ = properties && properties->isDictionary() ? *properties : PlistValue::dictionary();
}

void KBBaseNode::setChildren(const KBNodeList& children) {
    if (&children == &children_) return;
    KBNodeList copies;
    copies.reserve(children.size());
    for (const auto& child : children)
        if (child) copies.push_back(child->copyWithZone());
    children_ = std::move(copies);
}

void KBBaseNode::setLeaf(bool leaf) {
    isLeaf_ = leaf;
    if (leaf) {
        // The copy is made now, before the children are replaced: a leaf's self-copy holds the
        // children that the node had at this moment, copied in turn.
        KBNodeList self{copyWithZone()};
        children_ = std::move(self);
    } else {
        children_.clear();
    }
}

KBComparisonResult KBBaseNode::compare(const KBBaseNode& other) const {
    int order = ns::lowercaseString(title_).compare(ns::lowercaseString(other.title_));
    return order < 0 ? KBOrderedAscending : order > 0 ? KBOrderedDescending : KBOrderedSame;
}

Ref<KBBaseNode> KBBaseNode::parentFromArray(const KBNodeList& forest) const {
    for (const auto& node : forest) {
        if (node.get() == this) return nullptr;
        bool holds =
            std::any_of(node->children_.begin(), node->children_.end(),
                        [this](const Ref<KBBaseNode>& child) { return child.get() == this; });
        if (holds) return node;
        if (!node->isLeaf_) {
            if (auto parent = parentFromArray(node->children_)) return parent;
        }
    }
    return nullptr;
}

void KBBaseNode::removeObjectFromChildren(const KBBaseNode* object) {
    for (std::size_t i = 0; i < children_.size(); ++i) {
        if (children_[i].get() == object) {
            std::erase_if(children_,
                          [object](const Ref<KBBaseNode>& child) { return child.get() == object; });
            return;
        }
        if (!children_[i]->isLeaf_) children_[i]->removeObjectFromChildren(object);
    }
}

KBNodeList KBBaseNode::descendants() const {
    KBNodeList result;
    for (const auto& child : children_) {
        result.push_back(child);
        if (!child->isLeaf_) {
            KBNodeList below = child->descendants();
            result.insert(result.end(), below.begin(), below.end());
        }
    }
    return result;
}

KBNodeList KBBaseNode::allChildLeafs() const {
    KBNodeList result;
    for (const auto& child : children_) {
        if (child->isLeaf_) {
            result.push_back(child);
        } else {
            KBNodeList below = child->allChildLeafs();
            result.insert(result.end(), below.begin(), below.end());
        }
    }
    return result;
}

KBNodeList KBBaseNode::groupChildren() const {
    KBNodeList result;
    std::copy_if(children_.begin(), children_.end(), std::back_inserter(result),
                 [](const Ref<KBBaseNode>& child) { return !child->isLeaf_; });
    return result;
}

bool KBBaseNode::isDescendantOfOrOneOfNodes(const KBNodeList& nodes) const {
    for (const auto& node : nodes) {
        if (node.get() == this) return true;
        if (!node->isLeaf_ && isDescendantOfOrOneOfNodes(node->children_)) return true;
    }
    return false;
}

bool KBBaseNode::isDescendantOfNodes(const KBNodeList& nodes) const {
    for (const auto& node : nodes) {
        if (!node->isLeaf_ && isDescendantOfOrOneOfNodes(node->children_)) return true;
    }
    return false;
}

std::optional<std::vector<std::size_t>> KBBaseNode::indexPathInArray(
    const KBNodeList& forest) const {
    auto indexIn = [](const KBNodeList& list,
                      const KBBaseNode* node) -> std::optional<std::size_t> {
        for (std::size_t i = 0; i < list.size(); ++i)
            if (list[i].get() == node) return i;
        return std::nullopt;
    };
    std::vector<std::size_t> reversed;
    const KBBaseNode* current = this;
    Ref<KBBaseNode> parent = current->parentFromArray(forest);
    while (parent) {
        auto index = indexIn(parent->children_, current);
        if (!index) return std::nullopt;
        reversed.push_back(*index);
        current = parent.get();
        parent = parent->parentFromArray(forest);
    }
    auto top = indexIn(forest, current);
    if (!top) return std::nullopt;
    reversed.push_back(*top);
    return std::vector<std::size_t>(reversed.rbegin(), reversed.rend());
}

std::vector<std::string> KBBaseNode::mutableKeys() const {
    return {"title", "properties", "isLeaf", "children"};
}

std::optional<KBNodeValue> KBBaseNode::valueForKey(const std::string& key) const {
    if (key == "title") return KBNodeValue(title_);
    if (key == "properties") return KBNodeValue(properties_);
    if (key == "isLeaf") return KBNodeValue(isLeaf_);
    if (key == "children") return KBNodeValue(children_);
    return std::nullopt;
}

void KBBaseNode::setValueForKey(const std::optional<KBNodeValue>& value, const std::string& key) {
    if (key == "title") {
        if (!value)
            title_.clear();
        else if (auto text = as<std::string>(value))
            setTitle(*text);
    } else if (key == "properties") {
        if (!value)
            setProperties(std::nullopt);
        else if (auto dictionary = as<PlistValue>(value))
            setProperties(*dictionary);
    } else if (key == "isLeaf") {
        // The flag alone: the children stay as they are.
        if (!value)
            isLeaf_ = false;
        else if (auto flag = as<bool>(value))
            isLeaf_ = *flag;
    } else if (key == "children") {
        if (!value)
            children_.clear();
        else if (auto list = as<KBNodeList>(value))
            setChildren(*list);
    }
}

KBNodeDictionary KBBaseNode::dictionaryRepresentation() const {
    KBNodeDictionary dictionary;
    for (const std::string& key : mutableKeys()) {
        if (key == "children") {
            if (isLeaf_) continue;
            std::vector<KBNodeDictionary> forms;
            for (const auto& child : children_)
                forms.push_back(child->dictionaryRepresentation());
            dictionary.entries.emplace(key, std::move(forms));
        } else if (auto value = valueForKey(key)) {
            dictionary.entries.emplace(key, std::move(*value));
        }
    }
    return dictionary;
}

void KBBaseNode::loadDictionary(const KBNodeDictionary& dictionary) {
    for (const std::string& key : mutableKeys()) {
        const KBNodeValue* value = dictionary.objectForKey(key);
        if (key == "children") {
            const KBNodeValue* leaf = dictionary.objectForKey("isLeaf");
            if (leaf && std::holds_alternative<bool>(*leaf) && std::get<bool>(*leaf)) {
                KBNodeList self{copyWithZone()};
                children_ = std::move(self);
                continue;
            }
            KBNodeList made;
            if (value) {
                if (auto forms = std::get_if<std::vector<KBNodeDictionary>>(value)) {
                    for (const auto& form : *forms) {
                        auto child = newNode();
                        child->loadDictionary(form);
                        made.push_back(child);
                    }
                }
            }
            setChildren(made);
        } else {
            setValueForKey(value ? std::optional<KBNodeValue>(*value) : std::nullopt, key);
        }
    }
}

void KBBaseNode::encodeWithCoder(KBNodeCoder& coder) const {
    for (const std::string& key : mutableKeys())
        coder.encodeObject(valueForKey(key), key);
}

void KBBaseNode::loadCoder(const KBNodeCoder& coder) {
    for (const std::string& key : mutableKeys())
        setValueForKey(coder.decodeObjectForKey(key), key);
}

Ref<KBBaseNode> KBBaseNode::copyWithZone() const {
    auto copy = newNode();
    for (const std::string& key : mutableKeys())
        copy->setValueForKey(valueForKey(key), key);
    return copy;
}
