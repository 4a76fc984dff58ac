#include "languages/ZRLanguagesViewController.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "appsManager/AMPublicUtilities.h"
#include "appsManager/NSStringFSRef.h"
#include "platform/appkit/NSWorkspace.h"
#include "platform/dispatch/Dispatch.h"
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

void ZRLanguagesViewController::registerClass() {
    ClassRegistry::shared().registerClass<ZRLanguagesViewController, NSViewController>(
        "ZRLanguagesViewController");
}

void ZRLanguagesViewController::loadData() {
    ++scans_;
    if (scanned_ || scanning_.load()) return;
    auto self = std::static_pointer_cast<ZRLanguagesViewController>(weak_from_this().lock());
    if (!self) return;
    appLanguages_.reserve(50);
    languageApps_.reserve(50);
    scanning_ = true;
    dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0), [self]() mutable {
        self->scanAppLanguages_.clear();
        self->scanLanguageApps_.clear();
        self->enumerateLanguages(platformVolumePath("Applications"));
        self->buildLanguagesTree();
        // The controller is let go on the main thread, after its completion.
        dispatch_async(dispatch_get_main_queue(),
                       [self = std::move(self)] { self->scanCompleted(); });
    });
}

void ZRLanguagesViewController::scanCompleted() {
    appLanguages_ = std::move(scanAppLanguages_);
    languageApps_ = std::move(scanLanguageApps_);
    scanAppLanguages_.clear();
    scanLanguageApps_.clear();
    selectTreeNode_ = appLanguages_.empty() ? nullptr : appLanguages_.front();
    scanned_ = true;
    scanning_ = false;
}

void ZRLanguagesViewController::enumerateLanguages(const std::string& folder) {
    std::vector<std::pair<unsigned long long, unsigned long long>> path;
    walkFolder(folder, path);
}

void ZRLanguagesViewController::walkFolder(
    const std::string& folder,
    std::vector<std::pair<unsigned long long, unsigned long long>>& path) {
    // Links are followed; a link back to a folder on the way down is not entered again.
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) return;
    const std::pair id{static_cast<unsigned long long>(info.st_dev),
                       static_cast<unsigned long long>(info.st_ino)};
    if (std::find(path.begin(), path.end(), id) != path.end()) return;
    path.push_back(id);

    auto fileManager = NSFileManager::defaultManager();
    const auto entries = fileManager->contentsOfDirectoryAtPath(folder);
    for (const std::string& entry : entries.value_or(std::vector<std::string>())) {
        if (entry.empty() || entry.front() == '.') continue;
        const std::string entryPath = ns::stringByAppendingPathComponent(folder, entry);
        bool isFolder = false;
        if (!fileManager->fileExistsAtPath(entryPath, &isFolder) || !isFolder) continue;
        if (ns::pathExtension(entryPath) != "app") {
            walkFolder(entryPath, path);
            continue;
        }
        Ref<NSBundle> bundle = NSBundle::bundleWithPath(entryPath);
        const std::optional<std::string> identifier =
            bundle ? bundle->bundleIdentifier() : std::nullopt;
        if (!identifier || identifier->empty() || ns::hasPrefix(*identifier, "com.apple."))
            continue;
        if (Ref<ZRTreeNode> node = constructTreeNode(entryPath)) {
            node->setTitle(entry);
            scanAppLanguages_.push_back(node);
        }
    }
    path.pop_back();
}

Ref<ZRTreeNode> ZRLanguagesViewController::constructTreeNode(const std::string& path) {
    NSLog("====::::%@", path);
    Ref<NSBundle> bundle = NSBundle::bundleWithPath(path);
    if (!bundle) return nullptr;
    const std::vector<std::string> codes = bundle->localizations();
    if (codes.size() < 2) return nullptr;

    Ref<ZRTreeNode> application = ZRTreeNode::make();
    application->setImage(NSWorkspace::sharedWorkspace()->iconForFile(path));
    const std::string resources = bundle->resourcePath();
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

void ZRLanguagesViewController::buildLanguagesTree() {
    for (const Ref<ZRTreeNode>& application : scanAppLanguages_) {
        for (const Ref<KBBaseNode>& child : application->children()) {
            auto leaf = std::dynamic_pointer_cast<ZRTreeNode>(child);
            if (!leaf) continue;
            auto found = std::find_if(
                scanLanguageApps_.begin(), scanLanguageApps_.end(),
                [&](const Ref<ZRTreeNode>& group) { return group->title() == leaf->title(); });
            Ref<ZRTreeNode> group;
            if (found != scanLanguageApps_.end()) {
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
                scanLanguageApps_.push_back(group);
            }
            Ref<ZRTreeNode> entry = ZRTreeNode::initLeaf();
            entry->setTitle(application->title());
            entry->setImage(application->image());
            entry->setSize(leaf->size());
            entry->setPath(leaf->path());
            entry->setFaterNode(group);
            group->children().push_back(entry);
        }
    }
}
