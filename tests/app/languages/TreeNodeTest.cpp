// Catches tree nodes whose copies share children or carry ticks and parent links, whose leaves
// list themselves, whose queries find the wrong parent or index path, and whose dictionary form
// loses the leaf flag or the children.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "languages/KBExtensions.h"
#include "languages/ZRTreeNode.h"

namespace {

Ref<ZRTreeNode> named(const std::string& title, bool leaf) {
    auto node = leaf ? ZRTreeNode::initLeaf() : ZRTreeNode::make();
    node->setTitle(title);
    return node;
}

std::vector<std::string> titles(const KBNodeList& nodes) {
    std::vector<std::string> out;
    for (const auto& n : nodes)
        out.push_back(n->title());
    return out;
}

TEST(TreeNodeTest, NewNodesAndLeaves) {
    auto base = KBBaseNode::make();
    EXPECT_EQ(base->title(), "Untitled");
    EXPECT_TRUE(base->properties().isDictionary());
    EXPECT_TRUE(base->properties().allKeys().empty());
    EXPECT_TRUE(base->children().empty());
    EXPECT_FALSE(base->isLeaf());

    auto node = ZRTreeNode::make();
    EXPECT_EQ(node->count(), "");
    EXPECT_EQ(node->size(), "");
    EXPECT_EQ(node->path(), "");
    EXPECT_EQ(node->selectState(), 0);
    EXPECT_EQ(node->faterNode(), nullptr);
    ASSERT_NE(node->image(), nullptr);

    auto leaf = ZRTreeNode::initLeaf();
    leaf->setTitle("fr.lproj");
    ASSERT_TRUE(leaf->isLeaf());
    ASSERT_EQ(leaf->children().size(), 1u);
    auto self = std::dynamic_pointer_cast<ZRTreeNode>(leaf->children()[0]);
    ASSERT_NE(self, nullptr) << "the self-copy keeps the node's class";
    EXPECT_NE(self, leaf);
    EXPECT_TRUE(self->isLeaf());
    EXPECT_EQ(self->title(), "Untitled");
    EXPECT_TRUE(self->children().empty());
}

TEST(TreeNodeTest, ParentLinkDoesNotRetainTheGroup) {
    auto leaf = named("en.lproj", true);
    {
        auto group = named("Mail", false);
        leaf->setFaterNode(group);
        EXPECT_EQ(leaf->faterNode(), group);
    }
    EXPECT_EQ(leaf->faterNode(), nullptr);
}

TEST(TreeNodeTest, CompareIgnoresCase) {
    struct Case {
        const char* a;
        const char* b;
        KBComparisonResult expected;
    } cases[] = {{"apple", "Apple", KBOrderedSame},
                 {"a", "B", KBOrderedAscending},
                 {"b", "A", KBOrderedDescending}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " " + c.b);
        EXPECT_EQ(named(c.a, false)->compare(*named(c.b, false)), c.expected);
    }
}

TEST(TreeNodeTest, QueriesOverAForest) {
    auto g1 = named("G1", false);
    auto g2 = named("G2", false);
    auto l = named("L", true);
    auto other = named("L2", true);
    g2->children().push_back(l);
    g2->children().push_back(other);
    KBNodeList forest{g1, g2};
    auto outside = named("X", true);

    EXPECT_EQ(l->parentFromArray(forest), g2);
    EXPECT_EQ(g1->parentFromArray(forest), nullptr);
    EXPECT_EQ(outside->parentFromArray(forest), nullptr);
    EXPECT_EQ(l->indexPathInArray(forest), (std::vector<std::size_t>{1, 0}));
    EXPECT_EQ(other->indexPathInArray(forest), (std::vector<std::size_t>{1, 1}));
    EXPECT_EQ(g2->indexPathInArray(forest), (std::vector<std::size_t>{1}));
    EXPECT_EQ(outside->indexPathInArray(forest), std::nullopt);

    // root: L1, G(L2, L3)
    auto root = named("root", false);
    auto l1 = named("L1", true);
    auto g = named("G", false);
    auto l2 = named("L2", true);
    auto l3 = named("L3", true);
    g->children() = {l2, l3};
    root->children() = {l1, g};
    EXPECT_EQ(titles(root->descendants()), (std::vector<std::string>{"L1", "G", "L2", "L3"}));
    EXPECT_EQ(titles(root->allChildLeafs()), (std::vector<std::string>{"L1", "L2", "L3"}));
    EXPECT_EQ(titles(root->groupChildren()), (std::vector<std::string>{"G"}));
    EXPECT_TRUE(l2->isDescendantOfNodes({g}));
    EXPECT_FALSE(g->isDescendantOfNodes({g}));
    EXPECT_TRUE(g->isDescendantOfOrOneOfNodes({g}));
    EXPECT_FALSE(l1->isDescendantOfOrOneOfNodes({g}));

    root->removeObjectFromChildren(l3.get());
    EXPECT_EQ(titles(g->children()), (std::vector<std::string>{"L2"}));
}

TEST(TreeNodeTest, CopiesAreDeepAndStartFresh) {
    auto group = named("Mail", false);
    group->setCount("2");
    group->setSize("1.2 MB");
    group->setPath("/Applications/Mail.app");
    group->setSelectState(1);
    group->setFaterNode(named("parent", false));
    group->children().push_back(named("de.lproj", true));

    auto copy = group->copy();
    EXPECT_EQ(copy->title(), "Mail");
    EXPECT_EQ(copy->count(), "2");
    EXPECT_EQ(copy->size(), "1.2 MB");
    EXPECT_EQ(copy->path(), "/Applications/Mail.app");
    EXPECT_EQ(copy->image(), group->image());
    EXPECT_EQ(copy->selectState(), 0);
    EXPECT_EQ(copy->faterNode(), nullptr);
    ASSERT_EQ(copy->children().size(), 1u);
    EXPECT_NE(copy->children()[0], group->children()[0]);
    copy->children().clear();
    EXPECT_EQ(group->children().size(), 1u);

    auto leafCopy = named("it.lproj", true)->copy();
    EXPECT_TRUE(leafCopy->isLeaf());
    EXPECT_EQ(leafCopy->children().size(), 1u);
}

TEST(TreeNodeTest, KeyedFieldsAndDictionaryForm) {
    auto group = named("G", false);
    group->children().push_back(named("L", true));
    group->setValueForKey(std::nullopt, "isLeaf");
    EXPECT_FALSE(group->isLeaf());
    EXPECT_EQ(group->children().size(), 1u) << "the flag alone changes";

    auto leafForm = named("L", true)->dictionaryRepresentation();
    ASSERT_NE(leafForm.objectForKey("isLeaf"), nullptr);
    EXPECT_TRUE(std::get<bool>(*leafForm.objectForKey("isLeaf")));
    EXPECT_EQ(leafForm.objectForKey("children"), nullptr);
    auto emptyForm = named("E", false)->dictionaryRepresentation();
    ASSERT_NE(emptyForm.objectForKey("children"), nullptr);
    EXPECT_TRUE(
        std::get<std::vector<KBNodeDictionary>>(*emptyForm.objectForKey("children")).empty());

    auto back = ZRTreeNode::initWithDictionary(group->dictionaryRepresentation());
    EXPECT_EQ(back->title(), "G");
    EXPECT_FALSE(back->isLeaf());
    ASSERT_EQ(back->children().size(), 1u);
    EXPECT_EQ(back->children()[0]->title(), "L");
    EXPECT_TRUE(back->children()[0]->isLeaf());
    EXPECT_NE(std::dynamic_pointer_cast<ZRTreeNode>(back->children()[0]), nullptr);

    KBNodeCoder coder;
    group->setSize("3 KB");
    group->encodeWithCoder(coder);
    auto decoded = ZRTreeNode::initWithCoder(coder);
    EXPECT_EQ(decoded->size(), "3 KB");
    ASSERT_EQ(decoded->children().size(), 1u);
    EXPECT_NE(decoded->children()[0], group->children()[0]);
}

TEST(TreeNodeTest, ListHelpers) {
    std::vector<std::string> list{"a", "b"};
    kb::insertObjectsFromArray(list, {"x", "y"}, 1);
    EXPECT_EQ(list, (std::vector<std::string>{"a", "x", "y", "b"}));
    EXPECT_EQ(kb::indexesOfObjects<std::string>({"a", "b", "c"}, {"b", "z"}),
              (std::set<std::size_t>{1}));
    auto a = named("a", true);
    auto twin = named("a", true);
    KBNodeList nodes{a};
    EXPECT_TRUE(kb::containsObjectIdenticalTo(nodes, a));
    EXPECT_FALSE(kb::containsObjectIdenticalTo(nodes, twin));
    EXPECT_TRUE(kb::containsAnyObjectsIdenticalTo(nodes, KBNodeList{twin, a}));
}

}  // namespace
