#pragma once
// The interface-file loader: builds the objects that a resources/ui/<Name>.ui file describes
// and connects them to their owner.
//
// The file is XML with one element per object, named after the registered class:
//
//   <interface owner="ZRAppDelegate">            <!-- the owner's class (optional) -->
//     <NSWindow id="main" outlet="window" title="Uninstaller" frame="0 0 800 600">
//       <NSButton target="owner" action="remove:" delegate="main"/>
//     </NSWindow>
//   </interface>
//
// Attributes:
//   id="name"         names the object for references from other elements ("owner" is taken)
//   outlet="name"     connects the object to the owner's outlet `name`
//   target="ref"      the object's target: "owner" or an id (NibTargetAction)
//   action="sel:"     the object's action; the target must answer it. Without a target the
//                     action goes to the first responder and is not checked.
//   anything else     a property of the element's class (ClassBuilder::property), else an
//                     outlet of the element's class ("delegate", "dataSource", ...) connected
//                     to "owner" or an id
// An element inside another is added to its parent (NibContainer) in document order.
//
// Loading runs in three phases: (1) create every object and apply its properties, calling
// NibUnarchiving::awakeAfterUnarchive right after an object's properties and before its
// children are made (an object that is NibDecoding wraps the decoding of its properties and
// children and may change which class an element name makes); (2) connect outlets, targets and
// actions, checking classes and selectors; (3) send awakeFromNib to every object, children before
// parents, the owner last. The first fault stops loading with an error "File.ui:LINE: message";
// awakeFromNib is then sent to no one (outlets connected before the fault stay connected).

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/NSObject.h"

/// Controls that an interface file gives a target and action.
class NibTargetAction {
  public:
    virtual ~NibTargetAction() = default;
    /// The object that receives the action; not retained.
    virtual void setTarget(WeakRef<NSObject> target) = 0;
    /// The selector sent to the target.
    virtual void setAction(SEL action) = 0;
};

/// Objects that take the elements written inside theirs: views add subviews, windows set
/// their content view, menus add items.
class NibContainer {
  public:
    virtual ~NibContainer() = default;
    /// Adds one child; called in document order once the child's own subtree is built.
    virtual void addNibChild(Ref<NSObject> child) = 0;
};

/// Objects that act at unarchiving time, before outlets are connected.
class NibUnarchiving {
  public:
    virtual ~NibUnarchiving() = default;
    /// Called right after the object's properties are applied.
    virtual void awakeAfterUnarchive() = 0;
};

/// The loader as an object sees it while its own element is decoded: the table that says
/// which class an element name makes. Changes last for the rest of the load.
class NibCoder {
  public:
    virtual ~NibCoder() = default;
    /// The class that elements named `name` make, when one was set; nullptr otherwise (they
    /// make the class registered under the name).
    virtual const ClassInfo* classForClassName(std::string_view name) const = 0;
    /// Makes elements named `name` create `cls` (nullptr: the class registered under the name).
    virtual void setClassForClassName(const ClassInfo* cls, std::string_view name) = 0;
};

/// Objects that take part in their own decoding (the initWithCoder hook).
class NibDecoding {
  public:
    virtual ~NibDecoding() = default;
    /// Called once the object exists, in place of decoding its element directly: `decode`
    /// applies the element's properties and builds its children, and must be called once.
    virtual void initWithCoder(NibCoder& coder, const std::function<void()>& decode) = 0;
};

/// What a load gives: the top-level objects (retained), or an error.
struct NibLoadResult {
    /// The objects written directly inside <interface>, in document order; empty on error.
    std::vector<Ref<NSObject>> topLevelObjects;
    /// "File.ui:LINE: message" (or "File.ui: message" when no line applies); empty on success.
    std::string error;

    bool ok() const { return error.empty(); }
    explicit operator bool() const { return ok(); }
};

/// Thrown by NibLoader::loadOrThrow; what() is the error line.
class NibLoadError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class NibLoader {
  public:
    /// Loads `nameOrPath`: a name ("MainMenu" or "MainMenu.ui") is looked up as
    /// <main bundle resources>/ui/MainMenu.ui; text holding a '/' is a file path. `owner` may
    /// be null when the file names no owner and never refers to it.
    static NibLoadResult load(std::string_view nameOrPath, const Ref<NSObject>& owner);
    /// Loads interface XML from memory; `fileName` is used in error messages.
    static NibLoadResult loadData(std::string_view xml, std::string_view fileName,
                                  const Ref<NSObject>& owner);
    /// As load, but throws NibLoadError on error.
    static std::vector<Ref<NSObject>> loadOrThrow(std::string_view nameOrPath,
                                                  const Ref<NSObject>& owner);
};
