#pragma once
// The controller of the Languages screen. It scans the applications once per run for the
// localisation folders they carry, and keeps two trees of them: by application (each bundle
// with its removable folders) and by language (each language with the bundles that carry it).

#include <atomic>
#include <string>
#include <vector>

#include "languages/ZRTreeNode.h"
#include "platform/appkit/NSViewController.h"

class NSWindow;

using ZRNodeList = std::vector<Ref<ZRTreeNode>>;

class ZRLanguagesViewController : public NSViewController {
  public:
    void setMainWindow(NSWindow* window) { mainWindow_ = window; }
    NSWindow* mainWindow() const { return mainWindow_; }

    /// Starts the language scan of the volume's Applications folder on the global queue; its
    /// completion installs both trees on the main queue. Sent once per run; a second call
    /// while a scan runs or after it ended is counted and ignored.
    void loadData();
    int scanCount() const { return scans_; }
    /// True from loadData until the completion has installed the trees.
    bool isScanning() const { return scanning_.load(); }

    /// Walks `folder` and its subfolders depth first, appending one application node to the
    /// scan's by-application list for each bundle that offers a folder to remove. Application
    /// bundles are never entered; Apple's and those without an identifier are left out.
    void enumerateLanguages(const std::string& folder);
    /// The application node of the bundle at `path` with one leaf per removable localisation
    /// folder (English itself is never offered), or nullptr when there is none. The title is
    /// left to the caller.
    Ref<ZRTreeNode> constructTreeNode(const std::string& path);
    /// Fills the scan's by-language list from its by-application list.
    void buildLanguagesTree();

    /// The trees the screen shows; empty until the scan completion.
    const ZRNodeList& appLanguages() const { return appLanguages_; }
    const ZRNodeList& languageApps() const { return languageApps_; }
    /// The scan's own lists, filled off the main thread while the scan runs.
    const ZRNodeList& scanAppLanguages() const { return scanAppLanguages_; }
    const ZRNodeList& scanLanguageApps() const { return scanLanguageApps_; }
    /// The node at row 0 once the scan completed; nullptr for an empty tree.
    const Ref<ZRTreeNode>& selectTreeNode() const { return selectTreeNode_; }

    static void registerClass();

  private:
    void walkFolder(const std::string& folder,
                    std::vector<std::pair<unsigned long long, unsigned long long>>& path);
    void scanCompleted();

    NSWindow* mainWindow_ = nullptr;
    int scans_ = 0;
    std::atomic<bool> scanning_{false};
    bool scanned_ = false;
    ZRNodeList appLanguages_;
    ZRNodeList languageApps_;
    ZRNodeList scanAppLanguages_;
    ZRNodeList scanLanguageApps_;
    Ref<ZRTreeNode> selectTreeNode_;
};
