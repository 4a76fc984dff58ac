#include "languages/LanguageScanner.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <utility>

#include "appsManager/AMPublicUtilities.h"
#include "appsManager/BundleFolderWalk.h"
#include "appsManager/NSStringFSRef.h"
#include "platform/appkit/NSWorkspace.h"
#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSFileManager.h"
#include "platform/foundation/NSLocale.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSPathUtilities.h"
#include "platform/graphics/NSImage.h"

namespace {

/// The image for a language leaf: the bundle's image named after the language part of the
/// code ("zh" for "zh-Hans"), else the generic "languages" image.
Ref<NSImage> languageImage(const std::string& code) {
    if (NSStringOpt canonical = NSLocale::canonicalLanguageIdentifierFromString(code)) {
        const std::string language = canonical->substr(0, canonical->find('-'));
        if (Ref<NSImage> flag = NSImage::imageNamed(language)) return flag;
    }
    return NSImage::imageNamed("languages");
}

}  // namespace

void LanguageScanner::enumerateLanguages(const std::string& folder) {
    BundleFolderWalk::Rules rules;
    // Exactly "app": an upper-case extension is not an application by its name.
    rules.isItem = [](const std::string& name) { return ns::pathExtension(name) == "app"; };
    rules.itemsAreFolders = true;
    rules.skipHidden = true;
    BundleFolderWalk walk(std::move(rules), [this](const std::shared_ptr<const AMScanFolder>& in,
                                                   const std::string& name) {
        // The bundle's Info.plist is read once, through the open folder, for the identifier,
        // the localisations and the icon.
        const std::string path = in->pathOf(name);
        Ref<NSBundle> bundle = NSBundle::bundleAtEntry(in->descriptor(), name, path);
        const std::optional<std::string> identifier =
            bundle ? bundle->bundleIdentifier() : std::nullopt;
        if (!identifier || identifier->empty() || ns::hasPrefix(*identifier, "com.apple.")) return;
        if (Ref<ZRTreeNode> node = constructTreeNode(*bundle)) {
            node->setTitle(name);
            appLanguages_.push_back(node);
        }
    });
    walk.walk(folder);
}

Ref<ZRTreeNode> LanguageScanner::constructTreeNode(const std::string& path) {
    NSLog("====::::%@", path);
    Ref<NSBundle> bundle = NSBundle::bundleWithPath(path);
    return bundle ? applicationNode(*bundle) : nullptr;
}

Ref<ZRTreeNode> LanguageScanner::constructTreeNode(const NSBundle& bundle) {
    NSLog("====::::%@", bundle.bundlePath());
    return applicationNode(bundle);
}

Ref<ZRTreeNode> LanguageScanner::applicationNode(const NSBundle& bundle) {
    const std::vector<std::string> codes = bundle.localizations();
    if (codes.size() < 2) return nullptr;

    Ref<ZRTreeNode> application = ZRTreeNode::make();
    application->setImage(NSWorkspace::sharedWorkspace()->iconForBundle(bundle));
    const std::string resources = bundle.resourcePath();
    const NSLocale british = NSLocale::localeWithLocaleIdentifier("en_GB");
    auto fileManager = NSFileManager::defaultManager();
    std::uint64_t total = 0;
    for (const std::string& code : codes) {
        const std::string name = british.displayNameForKey(NSLocaleIdentifier, code).value_or(code);
        // Plain English stays; regional English and the base localisation are offered.
        if (name == "English") continue;
        const std::string folder = ns::stringByAppendingPathComponent(resources, code + ".lproj");
        if (!fileManager->fileExistsAtPath(folder)) continue;

        Ref<ZRTreeNode> leaf = ZRTreeNode::initLeaf();
        leaf->setTitle(name);
        leaf->setPath(folder);
        leaf->setEntryRecord(platform::recordEntryAtPath(folder));
        leaf->setFaterNode(application);
        const FSRef ref = fsref(folder);
        const std::uint64_t bytes = AMPublicUtilities::sizeOfFileRef(&ref);
        leaf->setSize(AMPublicUtilities::convertVolSpace(bytes));
        total += bytes;
        leaf->setImage(languageImage(code));
        application->children().push_back(leaf);
    }
    if (application->children().empty()) return nullptr;
    application->setSize(AMPublicUtilities::convertVolSpace(total));
    application->setCount(std::to_string(application->children().size()));
    return application;
}

void LanguageScanner::buildLanguagesTree() {
    for (const Ref<ZRTreeNode>& application : appLanguages_) {
        for (const Ref<KBBaseNode>& child : application->children()) {
            auto leaf = std::dynamic_pointer_cast<ZRTreeNode>(child);
            if (!leaf) continue;
            auto found = std::find_if(
                languageApps_.begin(), languageApps_.end(),
                [&](const Ref<ZRTreeNode>& group) { return group->title() == leaf->title(); });
            Ref<ZRTreeNode> group;
            if (found != languageApps_.end()) {
                group = *found;
                // The group's total lives in its size text and is read back at each addition.
                group->setCount(
                    std::to_string(std::strtol(group->count().c_str(), nullptr, 10) + 1));
                group->setSize(AMPublicUtilities::convertVolSpace(
                    AMPublicUtilities::volSpaceFromString(group->size()) +
                    AMPublicUtilities::volSpaceFromString(leaf->size())));
            } else {
                group = ZRTreeNode::make();
                group->setTitle(leaf->title());
                group->setImage(leaf->image());
                group->setCount("1");
                group->setSize(leaf->size());
                languageApps_.push_back(group);
            }
            Ref<ZRTreeNode> entry = ZRTreeNode::initLeaf();
            entry->setTitle(application->title());
            entry->setImage(application->image());
            entry->setSize(leaf->size());
            entry->setPath(leaf->path());
            entry->setEntryRecord(leaf->entryRecord());
            entry->setFaterNode(group);
            group->children().push_back(entry);
        }
    }
}

ZRNodeList LanguageScanner::takeAppLanguages() {
    return std::exchange(appLanguages_, {});
}

ZRNodeList LanguageScanner::takeLanguageApps() {
    return std::exchange(languageApps_, {});
}
