#include "platform/appkit/NibLoader.h"

#include <algorithm>
#include <deque>
#include <fstream>
#include <map>
#include <pugixml.hpp>
#include <sstream>

#include "platform/foundation/NSBundle.h"

namespace {

constexpr const char* kOwnerRef = "owner";
/// Deeper nesting is refused rather than recursed into.
constexpr int kMaxDepth = 200;

std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

bool isBlankText(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; });
}

struct Failure {
    std::string message;
};

/// One object of the file, with the element it came from.
struct Node {
    pugi::xml_node element;
    const ClassInfo* cls = nullptr;
    Ref<NSObject> object;
    std::vector<Node*> children;
};

class Loader : public NibCoder {
  public:
    Loader(std::string_view xml, std::string fileName, Ref<NSObject> owner)
        : xml_(xml), file_(std::move(fileName)), owner_(std::move(owner)) {}

    NibLoadResult run() {
        NibLoadResult result;
        try {
            parse();
            checkOwner();
            for (pugi::xml_node child : root_.children()) {
                if (Node* node = buildChild(root_, child, 1)) topLevel_.push_back(node);
            }
            for (Node& node : nodes_)
                connect(node);
            awake();
        } catch (const Failure& f) {
            result.error = f.message;
            return result;
        }
        for (const Node* node : topLevel_)
            result.topLevelObjects.push_back(node->object);
        return result;
    }

  private:
    int lineAt(std::ptrdiff_t offset) const {
        if (offset < 0) return 0;
        const std::size_t end = std::min(static_cast<std::size_t>(offset), xml_.size());
        return 1 + static_cast<int>(std::count(xml_.begin(), xml_.begin() + end, '\n'));
    }

    [[noreturn]] void failAt(std::ptrdiff_t offset, const std::string& message) const {
        const int line = lineAt(offset);
        if (line == 0) throw Failure{file_ + ": " + message};
        throw Failure{file_ + ":" + std::to_string(line) + ": " + message};
    }

    [[noreturn]] void fail(pugi::xml_node element, const std::string& message) const {
        failAt(element.offset_debug(), message);
    }

    void parse() {
        const pugi::xml_parse_result parsed =
            doc_.load_buffer(xml_.data(), xml_.size(), pugi::parse_default, pugi::encoding_utf8);
        if (parsed.status == pugi::status_no_document_element) failAt(-1, "no root element");
        if (!parsed)
            failAt(parsed.offset, std::string("malformed XML (") + parsed.description() + ")");
        for (pugi::xml_node child : doc_.children()) {
            if (child.type() != pugi::node_element) continue;
            if (root_) fail(child, "more than one root element");
            root_ = child;
        }
        if (!root_) failAt(-1, "no root element");
        if (std::string_view(root_.name()) != "interface")
            fail(root_,
                 "root element must be <interface>, not <" + std::string(root_.name()) + ">");
    }

    void checkOwner() {
        for (pugi::xml_attribute attr : root_.attributes()) {
            if (std::string_view(attr.name()) != "owner")
                fail(root_, "unknown attribute " + quoted(attr.name()) + " of <interface>");
            const ClassInfo* cls = ClassRegistry::shared().classNamed(attr.value());
            if (!cls) fail(root_, "unknown class " + quoted(attr.value()));
            if (!owner_) fail(root_, "an owner of class " + quoted(cls->name()) + " is needed");
            const ClassInfo* ownerClass = owner_->classInfo();
            if (!ownerClass || !ownerClass->isSubclassOf(*cls))
                fail(root_, "the owner is a " + quoted(owner_->className()) + ", not a " +
                                quoted(cls->name()));
        }
    }

    /// Builds the object of `child` (an element inside `parent`); nullptr for comments and
    /// blank text.
    Node* buildChild(pugi::xml_node parent, pugi::xml_node child, int depth) {
        switch (child.type()) {
            case pugi::node_element:
                return build(child, depth);
            case pugi::node_pcdata:
            case pugi::node_cdata:
                if (isBlankText(child.value())) return nullptr;
                fail(parent, "unexpected text inside <" + std::string(parent.name()) + ">");
            default:
                return nullptr;
        }
    }

    const ClassInfo* classForClassName(std::string_view name) const override {
        auto it = classMap_.find(std::string(name));
        return it == classMap_.end() ? nullptr : it->second;
    }

    void setClassForClassName(const ClassInfo* cls, std::string_view name) override {
        if (cls)
            classMap_[std::string(name)] = cls;
        else
            classMap_.erase(std::string(name));
    }

    Node* build(pugi::xml_node element, int depth) {
        if (depth > kMaxDepth) fail(element, "elements nested too deeply");
        const std::string className = element.name();
        const ClassInfo* cls = classForClassName(className);
        if (!cls) cls = ClassRegistry::shared().classNamed(className);
        if (!cls) fail(element, "unknown class " + quoted(className));
        Ref<NSObject> object = cls->createInstance();
        if (!object) fail(element, "class " + quoted(className) + " cannot be created by name");

        Node& node = nodes_.emplace_back();
        node.element = element;
        node.cls = cls;
        node.object = object;

        auto* decoding = dynamic_cast<NibDecoding*>(object.get());
        if (!decoding) {
            decode(node, depth);
            return &node;
        }
        int decoded = 0;
        decoding->initWithCoder(*this, [&] {
            if (decoded++ == 0) decode(node, depth);
        });
        if (decoded == 0)
            fail(element, "class " + quoted(cls->name()) + " did not decode its element");
        return &node;
    }

    /// Applies the properties of `node`'s element and builds its children.
    void decode(Node& node, int depth) {
        const pugi::xml_node element = node.element;
        const std::string className = element.name();
        const ClassInfo* cls = node.cls;
        const Ref<NSObject>& object = node.object;
        for (pugi::xml_attribute attr : element.attributes()) {
            const std::string name = attr.name();
            const std::string value = attr.value();
            if (name == "id") {
                if (value.empty() || value == kOwnerRef)
                    fail(element, "id " + quoted(value) + " is not allowed");
                if (!ids_.emplace(value, object).second)
                    fail(element, "duplicate id " + quoted(value));
            } else if (name == "outlet" || name == "target" || name == "action") {
                continue;  // connected in the second phase
            } else if (const ClassInfo::PropertySetter* setter = cls->findProperty(name)) {
                if (!(*setter)(*object, value))
                    fail(element, "bad value " + quoted(value) + " for property " + quoted(name) +
                                      " of " + quoted(className));
            } else if (!cls->findOutlet(name)) {
                fail(element,
                     "unknown attribute " + quoted(name) + " of class " + quoted(className));
            }
        }
        if (auto* unarchiving = dynamic_cast<NibUnarchiving*>(object.get()))
            unarchiving->awakeAfterUnarchive();

        for (pugi::xml_node childElement : element.children()) {
            Node* child = buildChild(element, childElement, depth + 1);
            if (!child) continue;
            auto* container = dynamic_cast<NibContainer*>(object.get());
            if (!container)
                fail(childElement,
                     quoted(className) + " cannot hold a child " + quoted(childElement.name()));
            container->addNibChild(child->object);
            node.children.push_back(child);
        }
    }

    Ref<NSObject> resolve(pugi::xml_node element, const std::string& ref) const {
        if (ref == kOwnerRef) {
            if (!owner_) fail(element, "no owner to refer to");
            return owner_;
        }
        auto it = ids_.find(ref);
        if (it == ids_.end()) fail(element, "unknown id " + quoted(ref));
        return it->second;
    }

    void connect(const Node& node) {
        const pugi::xml_node element = node.element;
        const std::string& className = node.cls->name();
        for (pugi::xml_attribute attr : element.attributes()) {
            const std::string name = attr.name();
            const std::string value = attr.value();
            if (name == "outlet") {
                if (!owner_) fail(element, "outlet " + quoted(value) + " needs an owner");
                const ClassInfo* ownerClass = owner_->classInfo();
                const ClassInfo::OutletSetter* setter =
                    ownerClass ? ownerClass->findOutlet(value) : nullptr;
                if (!setter)
                    fail(element, "the owner " + quoted(owner_->className()) + " has no outlet " +
                                      quoted(value));
                if (!(*setter)(*owner_, node.object))
                    fail(element, "outlet " + quoted(value) + " of " + quoted(owner_->className()) +
                                      " cannot hold a " + quoted(className));
            } else if (name == "id" || name == "target" || name == "action" ||
                       node.cls->findProperty(name)) {
                continue;
            } else if (const ClassInfo::OutletSetter* setter = node.cls->findOutlet(name)) {
                const Ref<NSObject> target = resolve(element, value);
                if (!(*setter)(*node.object, target))
                    fail(element, "outlet " + quoted(name) + " of " + quoted(className) +
                                      " cannot hold a " + quoted(target->className()));
            }
        }
        connectTargetAction(node);
    }

    void connectTargetAction(const Node& node) {
        const pugi::xml_node element = node.element;
        const pugi::xml_attribute targetAttr = element.attribute("target");
        const pugi::xml_attribute actionAttr = element.attribute("action");
        if (!targetAttr && !actionAttr) return;
        auto* control = dynamic_cast<NibTargetAction*>(node.object.get());
        if (!control) fail(element, quoted(node.cls->name()) + " takes no target or action");
        Ref<NSObject> target;
        if (targetAttr) target = resolve(element, targetAttr.value());
        SEL action;
        if (actionAttr) {
            if (!*actionAttr.value()) fail(element, "empty action");
            action = SEL(actionAttr.value());
            if (target && !target->respondsToSelector(action))
                fail(element,
                     quoted(target->className()) + " does not respond to " + quoted(action.name()));
        }
        if (target) control->setTarget(target);
        if (action) control->setAction(action);
    }

    void collectAwake(const Node& node, std::vector<Ref<NSObject>>& order) const {
        for (const Node* child : node.children)
            collectAwake(*child, order);
        order.push_back(node.object);
    }

    void awake() {
        std::vector<Ref<NSObject>> order;
        for (const Node* node : topLevel_)
            collectAwake(*node, order);
        if (owner_) order.push_back(owner_);
        for (const Ref<NSObject>& object : order)
            object->awakeFromNib();
    }

    std::string_view xml_;
    std::string file_;
    Ref<NSObject> owner_;
    pugi::xml_document doc_;
    pugi::xml_node root_;
    std::deque<Node> nodes_;  // in document order; a deque keeps Node pointers stable
    std::vector<Node*> topLevel_;
    std::map<std::string, Ref<NSObject>> ids_;
    std::map<std::string, const ClassInfo*> classMap_;
};

std::string baseName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace

NibLoadResult NibLoader::loadData(std::string_view xml, std::string_view fileName,
                                  const Ref<NSObject>& owner) {
    return Loader(xml, std::string(fileName), owner).run();
}

NibLoadResult NibLoader::load(std::string_view nameOrPath, const Ref<NSObject>& owner) {
    const bool isPath = nameOrPath.find('/') != std::string_view::npos;
    std::string path(nameOrPath);
    if (!isPath) {
        if (!nameOrPath.ends_with(".ui")) path += ".ui";
        path = NSBundle::mainBundle()->resourcePath() + "/ui/" + path;
    }
    const std::string file = baseName(path);
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    if (in) text << in.rdbuf();
    if (!in || in.bad()) {
        NibLoadResult result;
        result.error = file + ": cannot read " + path;
        return result;
    }
    const std::string xml = text.str();
    return loadData(xml, file, owner);
}

std::vector<Ref<NSObject>> NibLoader::loadOrThrow(std::string_view nameOrPath,
                                                  const Ref<NSObject>& owner) {
    NibLoadResult result = load(nameOrPath, owner);
    if (!result) throw NibLoadError(result.error);
    return std::move(result.topLevelObjects);
}
