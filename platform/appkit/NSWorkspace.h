#pragma once
// The workspace: what the desktop knows about files (their icons), and opening URLs.

#include <string>

#include "platform/appkit/IconCache.h"
#include "platform/foundation/Ref.h"
#include "platform/graphics/NSImage.h"

class NSBundle;
class NSURL;

class NSWorkspace {
  public:
    /// The process-wide workspace.
    static Ref<NSWorkspace> sharedWorkspace();

    /// The icon of the item at `path`: a bundle's own icon (CFBundleIconFile of its Info.plist,
    /// with or without ".icns", in its resource folder), 32 x 32 points, drawn from the icon
    /// file's smallest member that is sharp at that size (PNG, JPEG 2000 or run-length), or else
    /// the generic icon of an application ("generic_app"), a folder ("generic_folder") or a
    /// file or package ("generic_file"); a broken icon file draws the generic icon of its kind.
    /// Only Info.plist is read here; the icon is decoded when it is first drawn or sized. One
    /// icon file gives one image while the file is unchanged (so do not resize it). Never
    /// nullptr (an empty image when the resources are missing).
    Ref<NSImage> iconForFile(const std::string& path) const;
    /// iconForFile of the bundle's folder, from the Info.plist the bundle has read already.
    Ref<NSImage> iconForBundle(const NSBundle& bundle) const;

    /// Hands an http, https, mailto or file URL to the desktop's opener (platform/appkit/
    /// URLOpener.h) without waiting for it; false, silently, for other URLs or when the opener
    /// cannot be started.
    bool openURL(const NSURL& url) const;

  private:
    Ref<NSImage> folderIcon(const std::string& path, const NSBundle& bundle) const;

    /// Bundle icons, shared by every record of one icon file while the file is unchanged.
    mutable IconCache icons_;
};
