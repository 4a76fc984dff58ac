#pragma once
// The scan behind the Languages screen: it walks the application folders for bundles that carry
// localisation folders other than English and builds the screen's two trees from them, by
// application (each bundle with its removable folders) and by language (each language with the
// bundles that carry it). Synchronous; the screen runs it off the main thread and installs the
// trees on the main queue.

#include <string>
#include <vector>

#include "languages/ZRTreeNode.h"

class NSBundle;

using ZRNodeList = std::vector<Ref<ZRTreeNode>>;

class LanguageScanner {
  public:
    /// Walks `folder` and its subfolders depth first, appending one application node to the
    /// by-application list for each bundle that offers a folder to remove. Application bundles
    /// are never entered; Apple's and those without an identifier are left out; hidden entries
    /// are passed over. Links are followed, each folder and bundle once in the call however many
    /// links lead to it.
    void enumerateLanguages(const std::string& folder);
    /// The application node of the bundle at `path` with one leaf per removable localisation
    /// folder (English itself is never offered), or nullptr when there is none. The title is
    /// left to the caller.
    static Ref<ZRTreeNode> constructTreeNode(const std::string& path);
    /// constructTreeNode of a bundle already read (its Info.plist is not read again).
    static Ref<ZRTreeNode> constructTreeNode(const NSBundle& bundle);
    /// Fills the by-language list from the by-application list.
    void buildLanguagesTree();

    const ZRNodeList& appLanguages() const { return appLanguages_; }
    const ZRNodeList& languageApps() const { return languageApps_; }
    /// Hands both lists over and leaves the scanner empty, ready for a new scan.
    ZRNodeList takeAppLanguages();
    ZRNodeList takeLanguageApps();

  private:
    static Ref<ZRTreeNode> applicationNode(const NSBundle& bundle);

    ZRNodeList appLanguages_;
    ZRNodeList languageApps_;
};
