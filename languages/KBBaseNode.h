#pragma once
// A generic tree node: a title, free-form properties, ordered children and a leaf flag, with a
// deep copy, a dictionary form, a keyed archive form and tree queries over forests of nodes.

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/foundation/NSObject.h"
#include "platform/foundation/PlistValue.h"
#include "platform/foundation/Ref.h"
#include "platform/graphics/NSImage.h"

class KBBaseNode;
struct KBNodeDictionary;
using KBNodeList = std::vector<Ref<KBBaseNode>>;

/// A field's value read or set by key: a string ("title", texts), the properties dictionary,
/// the leaf flag, the children (as nodes), children in dictionary form, or an image.
using KBNodeValue = std::variant<std::string, PlistValue, bool, KBNodeList,
                                 std::vector<KBNodeDictionary>, Ref<NSImage>>;

/// The dictionary form of a node: field name to value.
struct KBNodeDictionary {
    std::map<std::string, KBNodeValue> entries;
    /// The value under `key`, nullptr when absent.
    const KBNodeValue* objectForKey(const std::string& key) const;
};

/// A keyed archive in memory: what encodeWithCoder writes and initWithCoder reads.
class KBNodeCoder {
  public:
    void encodeObject(const std::optional<KBNodeValue>& value, const std::string& key);
    /// The value written under `key`; nullopt when none was.
    std::optional<KBNodeValue> decodeObjectForKey(const std::string& key) const;

  private:
    std::map<std::string, std::optional<KBNodeValue>> values_;
};

/// Result of compare: -1, 0, 1 as NSOrderedAscending, NSOrderedSame, NSOrderedDescending.
enum KBComparisonResult { KBOrderedAscending = -1, KBOrderedSame = 0, KBOrderedDescending = 1 };

class KBBaseNode : public NSObject {
  public:
    /// Title "Untitled", no properties, no children, not a leaf.
    static Ref<KBBaseNode> make();
    /// A leaf: its children list holds one copy of the node, made at creation.
    static Ref<KBBaseNode> initLeaf();
    /// A node from its dictionary form.
    static Ref<KBBaseNode> initWithDictionary(const KBNodeDictionary& dictionary);
    /// A node from its archive form.
    static Ref<KBBaseNode> initWithCoder(const KBNodeCoder& coder);

    KBBaseNode();
    virtual ~KBBaseNode() = default;
    KBBaseNode(const KBBaseNode&) = delete;
    KBBaseNode& operator=(const KBBaseNode&) = delete;

    const std::string& title() const { return title_; }
    void setTitle(const std::string& title) { title_ = title; }
    /// A dictionary value.
    const PlistValue& properties() const { return properties_; }
    /// Stores a copy (no dictionary, or a value that is not one, gives an empty one).
    void setProperties(const std::optional<PlistValue>& properties);
    /// The live children list: callers add and remove children through it.
    KBNodeList& children() { return children_; }
    const KBNodeList& children() const { return children_; }
    /// Stores a copy (copyWithZone) of each node, in order; the stored list itself is ignored.
    void setChildren(const KBNodeList& children);

    bool isLeaf() const { return isLeaf_; }
    /// Stores the flag and replaces the children: a copy of this node for YES, none for NO.
    void setLeaf(bool leaf);

    /// Ordering of the lowercased titles.
    KBComparisonResult compare(const KBBaseNode& other) const;
    /// The node of `forest` whose children hold this node (depth-first, first found); nullptr
    /// when this node stands at the top level or is not in the forest.
    Ref<KBBaseNode> parentFromArray(const KBNodeList& forest) const;
    /// Removes every occurrence of `object` from the first children list below this node that
    /// holds it.
    void removeObjectFromChildren(const KBBaseNode* object);
    /// Every node below this one, in pre-order; leaves are not entered.
    KBNodeList descendants() const;
    /// Every leaf below this one, in pre-order.
    KBNodeList allChildLeafs() const;
    /// The direct children that are not leaves, in order.
    KBNodeList groupChildren() const;
    /// Whether this node is one of `nodes` or lies below one of them.
    bool isDescendantOfOrOneOfNodes(const KBNodeList& nodes) const;
    /// Whether this node lies below one of `nodes` (being one is not enough).
    bool isDescendantOfNodes(const KBNodeList& nodes) const;
    /// The position of this node in `forest`, outermost index first; nullopt when absent.
    std::optional<std::vector<std::size_t>> indexPathInArray(const KBNodeList& forest) const;

    /// The names of the fields that copies, dictionary and archive forms carry.
    virtual std::vector<std::string> mutableKeys() const;
    /// The field named `key` (nullopt when unset or unknown); "isLeaf" reads as a boolean.
    virtual std::optional<KBNodeValue> valueForKey(const std::string& key) const;
    /// Sets the field through its setter; nullopt clears it (setNilValueForKey). "isLeaf"
    /// stores the flag alone. Values of the wrong kind are ignored.
    virtual void setValueForKey(const std::optional<KBNodeValue>& value, const std::string& key);

    KBNodeDictionary dictionaryRepresentation() const;
    void encodeWithCoder(KBNodeCoder& coder) const;
    /// A deep copy of the same class, carrying the fields of mutableKeys only.
    Ref<KBBaseNode> copyWithZone() const;

  protected:
    /// A new node of this node's own class, as made by make().
    virtual Ref<KBBaseNode> newNode() const;
    /// Fills a node made by newNode from a dictionary form / archive.
    void loadDictionary(const KBNodeDictionary& dictionary);
    void loadCoder(const KBNodeCoder& coder);

  private:
    std::string title_ = "Untitled";
    PlistValue properties_ = PlistValue::dictionary();
    KBNodeList children_;
    bool isLeaf_ = false;
};
