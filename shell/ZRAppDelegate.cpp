#include "shell/ZRAppDelegate.h"

#include <cstdio>
#include <cstdlib>

#include "controls/sidebar/LeftTypeButton.h"
#include "controls/sidebar/NewView.h"
#include "languages/ZRLanguagesViewController.h"
#include "platform/appkit/NSButton.h"
#include "platform/appkit/NSImageView.h"
#include "platform/appkit/NSTextField.h"
#include "platform/appkit/NSWorkspace.h"
#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSDateFormatter.h"
#include "platform/foundation/NSURL.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSFont.h"
#include "platform/graphics/NSImage.h"
#include "services/TCPublicUtilities.h"
#include "shell/EUCheckUpdateWindowController.h"
#include "shell/OtherAppViewController.h"
#include "shell/TCPreferenceWindowController.h"
#include "windows/TCImageWindow.h"

const char* const ZRAppDelegate::kSupportPage = "http://www.uninstaller.example/support/";
const char* const ZRAppDelegate::kUserGuidePage = "http://www.uninstaller.example/guide/";

namespace {

void (*gExit)(int) = nullptr;

// The leading decimal number of a text, as NSString's intValue reads it (0 when none).
int intValue(const std::string& text) {
    return static_cast<int>(std::strtol(text.c_str(), nullptr, 10));
}

struct EntrySpec {
    int tag;
    const char* title;
    const char* normal;
    const char* selected;
    double y;
    const char* action;
};

constexpr EntrySpec kEntries[] = {
    {0, "Applications", "ic_app", "ic_app_active", 535, "selectUninstallView:"},
    {1, "Plugins", "ic_plugin", "ic_plugin_active", 479, "selectUninstallView:"},
    {2, "PreferencesPanes", "ic_preference", "ic_preference_active", 423, "selectUninstallView:"},
    {3, "Widgets", "ic_widget", "ic_widget_active", 367, "selectUninstallView:"},
    {4, "Languages", "ic_lang", "ic_lang_active", 311, "selectSmailView:"},
    {5, "Tool Box", "ic_toolbox", "ic_toolbox_active", 255, "selectOtherAppView:"},
};

}  // namespace

// --- Start-up ------------------------------------------------------------------------------

void ZRAppDelegate::awakeFromNib() {
    // The three reference labels define the fonts of the whole application; they are recorded
    // at every launch, before any control asks for a font name.
    if (auto label = boldTextLabel_.lock()) TCPublicUtilities::writBoldFont(label->font());
    if (auto label = regularTextLabel_.lock()) TCPublicUtilities::writRegularFont(label->font());
    if (auto label = lightTextLabel_.lock()) TCPublicUtilities::writLightFont(label->font());
}

void ZRAppDelegate::applicationDidFinishLaunching(const NSNotification&) {
    runRootWindow();
}

Ref<LeftTypeButton> ZRAppDelegate::leftButtonWithNormalImage(const Ref<NSImage>& normal,
                                                             const Ref<NSImage>& hover,
                                                             const std::string& title, NSRect rect,
                                                             SEL action) {
    auto button = LeftTypeButton::make();
    button->setFrame(rect);
    button->setNormarlImage(normal, hover, title);
    button->setButtonAction(action);
    return button;
}

void ZRAppDelegate::runRootWindow() {
    auto window = window_.lock();
    if (!window) return;
    if (NSButton* close = window->standardWindowButton(NSWindowCloseButton)) {
        close->setTarget(weak_from_this());
        close->setAction(SEL("closeWindow:"));
    }
    window->setMovableByWindowBackground(true);
    window->setOpaque(false);
    window->setBackgroundColor(NSColor::clearColor());

    titleBarView_ = window->titleBarView().get();
    window->setTitleBarHeight(32.0);
    window->setTrafficLightButtonsLeftMargin(12.0);
    window->setTopButtonMoveUp(0.0);
    // A second dressing (after the automatic update check's dialog) replaces the first.
    if (auto old = titleBarImage_.lock()) old->removeFromSuperview();
    auto bar = NSImageView::make(NSMakeRect(0, 0, 1040, 32));
    bar->setImage(NSImage::imageNamed("titlebar"));
    bar->setImageScaling(NSImageScaleAxesIndependently);
    if (titleBarView_) titleBarView_->addSubview(bar);
    titleBarImage_ = bar;

    selectUninstallView("");

    for (auto& old : allTypeArr_)
        old->removeFromSuperview();
    allTypeArr_.clear();
    Ref<LeftTypeButton>* slots[] = {&uApplication_, &uPlugins_,   &upreferencePanes_,
                                    &uwidgets_,     &rLanguages_, &selectToolBox_};
    auto panel = typeView_.lock();
    for (const EntrySpec& spec : kEntries) {
        auto entry = leftButtonWithNormalImage(NSImage::imageNamed(spec.normal),
                                               NSImage::imageNamed(spec.selected), spec.title,
                                               NSMakeRect(10, spec.y, 220, 46), SEL(spec.action));
        *slots[spec.tag] = entry;
        entry->setButtonTag(spec.tag);
        entry->setDelegate(self());
        if (spec.tag == 0) entry->setIsSelect(true);
        if (panel) panel->addSubview(entry);
        allTypeArr_.push_back(entry);
    }
    window->center();
}

// --- Screens -------------------------------------------------------------------------------

void ZRAppDelegate::markSelected(LeftTypeButton* selected) {
    for (auto& entry : allTypeArr_) {
        entry->setIsSelect(false);
        if (entry.get() == selected) entry->setIsSelect(true);
        entry->setNeedsDisplay(true);
    }
}

void ZRAppDelegate::showContainer(NSView* visible) {
    for (NSView* container : {uninstallView(), contentBox(), otherApp()})
        if (container) container->setHidden(container != visible);
}

void ZRAppDelegate::selectUninstallView(const std::string& sender) {
    const int type = intValue(sender);
    LeftTypeButton* entry = type >= 0 && static_cast<std::size_t>(type) < allTypeArr_.size()
                                ? allTypeArr_[type].get()
                                : nullptr;
    markSelected(entry);
    showContainer(uninstallView());
    auto window = window_.lock();
    if (window) window->makeKeyAndOrderFront(nullptr);
    if (!amMainVC_) {
        amMainVC_ = std::make_shared<AMMainViewController>();
        amMainVC_->initWithNibName("AMMainViewController", nullptr);
        amMainVC_->setMainWindow(window.get());
        amMainVC_->setDelegate(weak_from_this());
        if (NSView* container = uninstallView(); container && amMainVC_->view())
            container->addSubview(amMainVC_->viewRef());
        amMainVC_->loadAmMainVC();
    }
    amMainVC_->selectShowTypes(type);
    changeTopBarViewWith(type);
}

void ZRAppDelegate::selectSmailView(const std::string&) {
    markSelected(rLanguages_.get());
    showContainer(contentBox());
    auto window = window_.lock();
    if (window) window->makeKeyAndOrderFront(nullptr);
    if (!languagesViewController_) {
        languagesViewController_ = std::make_shared<ZRLanguagesViewController>();
        languagesViewController_->initWithNibName("ZRLanguagesViewController", nullptr);
        languagesViewController_->setMainWindow(window.get());
        if (NSView* container = contentBox(); container && languagesViewController_->view())
            container->addSubview(languagesViewController_->viewRef());
        languagesViewController_->loadData();
    }
    changeTopBarViewWith(4);
}

void ZRAppDelegate::selectOtherAppView(const std::string&) {
    markSelected(selectToolBox_.get());
    showContainer(otherApp());
    if (auto window = window_.lock()) window->makeKeyAndOrderFront(nullptr);
    if (!otherAppWC_) {
        otherAppWC_ = std::make_shared<OtherAppViewController>();
        otherAppWC_->initWithNibName("OtherAppViewController", nullptr);
        if (NSView* container = otherApp(); container && otherAppWC_->view())
            container->addSubview(otherAppWC_->viewRef());
    }
    changeTopBarViewWith(5);
}

void ZRAppDelegate::changeTopBarViewWith(int type) {
    if (amMainVC_) amMainVC_->changeTopBarViewWith(type);
    app_type_ = type;
}

void ZRAppDelegate::closeWindow(NSObject*) {
    // At once: no termination message, nothing saved. The standard streams are flushed, and
    // the process ends without running static destructors under a background task that may
    // still be using them.
    std::fflush(nullptr);
    if (gExit) {
        gExit(0);
        return;
    }
    std::_Exit(0);
}

void ZRAppDelegate::setExitForTesting(void (*exitFunction)(int)) {
    gExit = exitFunction;
}

// --- Menu ----------------------------------------------------------------------------------

void ZRAppDelegate::showAboutWindow(NSObject*) {
    aboutMenuItemClick(nullptr);
}

void ZRAppDelegate::aboutMenuItemClick(NSObject*) {
    aboutWC_ = TCPreferenceWindowController::make("TCPreferenceWindowController");
    // Kept through its modal loop even if another opening replaces it meanwhile.
    Ref<TCPreferenceWindowController> about = aboutWC_;
    if (NSWindow* w = about->window()) {
        w->center();
        if (auto app = NSApplication::sharedApplication()) app->runModalForWindow(w);
    }
}

void ZRAppDelegate::runUpdateDialog(bool aboveOthers) {
    if (!checkUpdateWindow_) checkUpdateWindow_ = EUCheckUpdateWindowController::make();
    // Kept through its modal loop whatever happens to the member meanwhile.
    Ref<EUCheckUpdateWindowController> dialog = checkUpdateWindow_;
    if (aboveOthers) dialog->setDelegate(self());
    NSWindow* w = dialog->window();
    if (!w) return;
    w->center();
    if (aboveOthers) w->setLevel(NSStatusWindowLevel);
    auto app = NSApplication::sharedApplication();
    if (!app) return;
    app->runModalForWindow(w);
    app->activateIgnoringOtherApps(true);
}

void ZRAppDelegate::checkUpdateAction(NSObject*) {
    runUpdateDialog(false);
}

void ZRAppDelegate::checkUpdata() {
    const std::optional<std::string> last = TCPublicUtilities::getUpDataTimeStr();
    if (last && !last->empty() && *last != " ") return;  // it ran before

    auto defaults = NSUserDefaults::standardUserDefaults();
    defaults->setBool(true, "Participate");
    defaults->synchronize();
    NSDateFormatter formatter;
    formatter.setDateFormat("yyyy-MM-dd HH:mm:ss");
    TCPublicUtilities::writeUpDataTimeStr(formatter.stringFromDate(NSDate::date()));

    const std::optional<PlistValue> description =
        EUCheckUpdateWindowController::fetchUpdateDescription();
    const std::optional<long long> remote = description
                                                ? EUCheckUpdateWindowController::buildNumberOf(
                                                      description->objectForKey("VersionCheck"))
                                                : std::nullopt;
    if (EUCheckUpdateWindowController::localBuildNumber() >= remote.value_or(0)) return;
    if (!TCPublicUtilities::isCanBeUseNetWork()) return;
    runUpdateDialog(true);
}

void ZRAppDelegate::openPage(const char* url) {
    if (auto link = NSURL::URLWithString(url)) NSWorkspace::sharedWorkspace()->openURL(*link);
}

void ZRAppDelegate::showHelpWindow(NSObject*) {
    openPage(kSupportPage);
}

void ZRAppDelegate::userGuideMenuAction(NSObject*) {
    openPage(kUserGuidePage);
}

void ZRAppDelegate::showCleanerPage(NSObject*) {
    openPage("http://www.uninstaller.example/products/cleaner/");
}

void ZRAppDelegate::showDiskLensPage(NSObject*) {
    openPage("http://www.uninstaller.example/products/disklens/");
}

void ZRAppDelegate::showDuplicatesPage(NSObject*) {
    openPage("http://www.uninstaller.example/products/duplicates/");
}

void ZRAppDelegate::showPhotoSweeperPage(NSObject*) {
    openPage("http://www.uninstaller.example/products/photosweeper/");
}

void ZRAppDelegate::showBatteryPage(NSObject*) {
    openPage("http://www.uninstaller.example/products/battery/");
}

void ZRAppDelegate::showMarrowgleamPage(NSObject*) {
    openPage("http://www.uninstaller.example/products/marrowgleam/");
}

void ZRAppDelegate::addTitle() {
    if (titleLabel_) return;
    auto label = NSTextField::make(NSMakeRect(80, 6, 300, 22));
    label->setStringValue(
        NSBundle::mainBundle()->localizedStringForKey("WINDOW_TOP_TITLE", "", "") + " ");
    label->setAlignment(NSTextAlignmentLeft);
    label->setEditable(false);
    label->setBezeled(false);
    label->setTextColor(NSColor::blackColor());
    label->setBackgroundColor(NSColor::controlColor());
    label->setFont(NSFont::systemFontOfSize(14));
    if (titleBarView_) titleBarView_->addSubview(label);
    titleLabel_ = label.get();
}

// --- Outlets -------------------------------------------------------------------------------

NewView* ZRAppDelegate::typeView() const {
    return typeView_.lock().get();
}
NSView* ZRAppDelegate::uninstallView() const {
    return uninstallView_.lock().get();
}
TCImageWindow* ZRAppDelegate::window() const {
    return window_.lock().get();
}
NSView* ZRAppDelegate::contentBox() const {
    return contentBox_.lock().get();
}
NSView* ZRAppDelegate::otherApp() const {
    return otherApp_.lock().get();
}
NSTextField* ZRAppDelegate::boldTextLabel() const {
    return boldTextLabel_.lock().get();
}
NSTextField* ZRAppDelegate::regularTextLabel() const {
    return regularTextLabel_.lock().get();
}
NSTextField* ZRAppDelegate::lightTextLabel() const {
    return lightTextLabel_.lock().get();
}

void ZRAppDelegate::registerClass() {
    ClassRegistry::shared()
        .registerClass<ZRAppDelegate, NSObject>("ZRAppDelegate")
        .action("selectUninstallView:", &ZRAppDelegate::selectUninstallView)
        .action("selectSmailView:", &ZRAppDelegate::selectSmailView)
        .action("selectOtherAppView:", &ZRAppDelegate::selectOtherAppView)
        .method("runRootWindow", &ZRAppDelegate::runRootWindow)
        .method("checkUpdata", &ZRAppDelegate::checkUpdata)
        .action("closeWindow:", &ZRAppDelegate::closeWindow)
        .action("showAboutWindow:", &ZRAppDelegate::showAboutWindow)
        .action("aboutMenuItemClick:", &ZRAppDelegate::aboutMenuItemClick)
        .action("checkUpdateAction:", &ZRAppDelegate::checkUpdateAction)
        .action("showHelpWindow:", &ZRAppDelegate::showHelpWindow)
        .action("userGuideMenuAction:", &ZRAppDelegate::userGuideMenuAction)
        .action("showCleanerPage:", &ZRAppDelegate::showCleanerPage)
        .action("showDiskLensPage:", &ZRAppDelegate::showDiskLensPage)
        .action("showDuplicatesPage:", &ZRAppDelegate::showDuplicatesPage)
        .action("showPhotoSweeperPage:", &ZRAppDelegate::showPhotoSweeperPage)
        .action("showBatteryPage:", &ZRAppDelegate::showBatteryPage)
        .action("showMarrowgleamPage:", &ZRAppDelegate::showMarrowgleamPage)
        .outlet("typeView", &ZRAppDelegate::typeView_)
        .outlet("uninstallView", &ZRAppDelegate::uninstallView_)
        .outlet("window", &ZRAppDelegate::window_)
        .outlet("contentBox", &ZRAppDelegate::contentBox_)
        .outlet("otherApp", &ZRAppDelegate::otherApp_)
        .outlet("boldTextLabel", &ZRAppDelegate::boldTextLabel_)
        .outlet("regularTextLabel", &ZRAppDelegate::regularTextLabel_)
        .outlet("lightTextLabel", &ZRAppDelegate::lightTextLabel_);
}
