#include "platform/appkit/NSWorkspace.h"

#include <sys/stat.h>

#include "platform/appkit/URLOpener.h"
#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSString.h"

namespace {

/// The name of the generic icon for the item (a folder, an application or anything else).
const char* genericIconName(const std::string& path, bool isFolder) {
    if (!isFolder) return "generic_file";
    std::string extension = ns::lowercaseString(ns::pathExtension(path));
    if (extension == "app") return "generic_app";
    // Packages show as documents, as the desktop hides their contents.
    static const char* const kPackages[] = {"plugin", "prefpane",  "wdgt",        "bundle",
                                            "kext",   "framework", "appex",       "saver",
                                            "xpc",    "component", "qlgenerator", "mdimporter"};
    for (const char* package : kPackages)
        if (extension == package) return "generic_file";
    return "generic_folder";
}

/// The icon file named by the bundle's CFBundleIconFile, when it exists (or, for a name
/// without extension, the one it would be).
std::string bundleIconFile(const NSBundle& bundle) {
    const PlistValue* value = bundle.objectForInfoDictionaryKey("CFBundleIconFile");
    std::optional<std::string> named = value ? value->stringValue() : std::nullopt;
    if (!named || named->empty()) return {};
    std::string name = ns::lastPathComponent(*named);  // stays inside the resource folder
    if (name.empty() || name == "." || name == "..") return {};
    std::string resources = bundle.resourcePath();
    // A name without extension is the .icns file: the image checks that it is a file.
    if (ns::pathExtension(name).empty())
        return ns::stringByAppendingPathComponent(resources, name + ".icns");
    std::string file = ns::stringByAppendingPathComponent(resources, name);
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) {
        file = ns::stringByAppendingPathComponent(resources, name + ".icns");
        if (::stat(file.c_str(), &st) != 0) return {};
    }
    return S_ISREG(st.st_mode) ? file : std::string();
}

}  // namespace

Ref<NSWorkspace> NSWorkspace::sharedWorkspace() {
    static const Ref<NSWorkspace> shared = std::make_shared<NSWorkspace>();
    return shared;
}

/// The icon of the folder at `path`, read as `bundle`.
Ref<NSImage> NSWorkspace::folderIcon(const std::string& path, const NSBundle& bundle) const {
    const char* genericName = genericIconName(path, true);
    std::string file = bundleIconFile(bundle);
    if (!file.empty()) {
        // File icons come at 32 x 32 points, as on the platform; the size also spares
        // decoding the largest member of an icon file for a list row.
        const NSSize size = NSMakeSize(32, 32);
        Ref<NSImage> icon = icons_.iconForFile(file, size, [&] {
            Ref<NSImage> made =
                NSImage::initWithContentsOfFile(file, NSImage::imageNamed(genericName));
            if (made) made->setSize(size);
            return made;
        });
        if (icon) return icon;
    }
    Ref<NSImage> generic = NSImage::imageNamed(genericName);
    return generic ? generic : NSImage::image();
}

Ref<NSImage> NSWorkspace::iconForFile(const std::string& path) const {
    struct stat st {};
    const bool isFolder = !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    if (isFolder) {
        if (Ref<NSBundle> bundle = NSBundle::bundleWithPath(path)) return folderIcon(path, *bundle);
    }
    Ref<NSImage> generic = NSImage::imageNamed(genericIconName(path, isFolder));
    return generic ? generic : NSImage::image();
}

Ref<NSImage> NSWorkspace::iconForBundle(const NSBundle& bundle) const {
    return folderIcon(bundle.bundlePath(), bundle);
}

bool NSWorkspace::openURL(const NSURL& url) const {
    return platform::openURLWithDesktop(url);
}
