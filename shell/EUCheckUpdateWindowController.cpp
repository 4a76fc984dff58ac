#include "shell/EUCheckUpdateWindowController.h"

#include <algorithm>
#include <cfloat>
#include <climits>

#include "controls/buttons/DialogButtonStyle.h"
#include "platform/appkit/NSClipView.h"
#include "platform/appkit/NSWorkspace.h"
#include "platform/dispatch/Dispatch.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/NSThread.h"
#include "platform/foundation/NSURL.h"
#include "platform/foundation/PropertyList.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/TextLayout.h"
#include "services/EULinkUrl.h"
#include "services/Palette.h"
#include "services/SettingsFile.h"
#include "services/TCPublicUtilities.h"
#include "windows/DialogWindowStyle.h"

const char* const EUCheckUpdateWindowController::kDownloadPage =
    "http://www.uninstaller.example/download/";

namespace {

constexpr double kDocumentWidth = 446;

struct ButtonSpec {
    TextImageButton* (EUCheckUpdateWindowController::*button)() const;
    const char* image;
    const char* label;
};

/// The text a description gives for its "Version": a string as it is, a number in decimal,
/// nothing for anything else.
std::string versionTextOf(const PlistValue* value) {
    if (!value) return "";
    if (value->isString()) return *value->stringValue();
    if (value->isInteger() || value->isReal()) return value->description();
    return "";
}

/// A key made of decimal digits without a leading zero that fits an int, as "%d" writes it.
std::optional<int> lineNumberOf(const std::string& key) {
    if (key.empty() || key.size() > 9 || key[0] == '0') return std::nullopt;
    int number = 0;
    for (char c : key) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + (c - '0');
    }
    return number;
}

}  // namespace

WeakRef<EUCheckUpdateWindowController> EUCheckUpdateWindowController::weakSelf() {
    return std::static_pointer_cast<EUCheckUpdateWindowController>(weak_from_this().lock());
}

// --- Set-up ----------------------------------------------------------------------------------

void EUCheckUpdateWindowController::awakeFromNib() {
    shuttingDown_ = false;
    NSWindow* w = window();
    if (!w) return;
    auto fade = CABasicAnimation::animation();
    std::shared_ptr<CAAnimationDelegate> listener = weakSelf().lock();
    fade->setDelegate(listener);
    w->setAnimations({{"alphaValue", fade}});
    if (!w->isVisible()) {
        w->setAlphaValue(0);
        w->animator()->setAlphaValue(1.0);
    }
}

void EUCheckUpdateWindowController::windowDidLoad() {
    NSWindowController::windowDidLoad();
    NSWindow* w = window();
    if (w) {
        DialogWindowStyle::centreClearAndMovable(w);
        // A close through the window (its Close command) fades out first.
        std::shared_ptr<NSWindowDelegate> listener = weakSelf().lock();
        w->setDelegate(listener);
    }

    if (changeValueScrollView_) {
        changeValueScrollView_->setWantsLayer(true);
        if (const Ref<CALayer>& layer = changeValueScrollView_->layer()) {
            layer->setBorderColor(NSColor::redColor());
            layer->setBorderWidth(5.0);
        }
    }

    const ButtonSpec buttons[] = {
        {&EUCheckUpdateWindowController::noNetCloseButton, "btn_popsec", "Close"},
        {&EUCheckUpdateWindowController::proCloseButton, "btn_popsec", "Close"},
        {&EUCheckUpdateWindowController::newCloseButton, "btn_popsec", "Close"},
        {&EUCheckUpdateWindowController::haveLaterButton, "btn_popsec", "Remind Me Later"},
        {&EUCheckUpdateWindowController::installButton, "btn_poppri", "Install Update"},
    };
    for (const ButtonSpec& spec : buttons) {
        DialogButtonStyle::apply((this->*spec.button)(), spec.image, spec.label);
    }

    if (progressBar_) progressBar_->startAnimation(nullptr);

    // Its style asks for a close button only.
    DialogWindowStyle::keepOnlyCloseButton(w, weak_from_this(), SEL("closeWindow:"));

    NSThread::detachNewThreadSelector(SEL("getVersionChange"), self());

    if (changeValueScrollView_)
        if (const Ref<NSClipView>& clip = changeValueScrollView_->contentView())
            clip->scrollToPoint(NSMakePoint(0, 0));
}

// --- The check -------------------------------------------------------------------------------

void EUCheckUpdateWindowController::getVersionChange() {
    auto weak = weakSelf();
    if (!TCPublicUtilities::isCanBeUseNetWork()) {
        dispatch_async(dispatch_get_main_queue(), [weak] {
            if (auto self = weak.lock()) self->showOnly(self->noNetworkView_.get());
        });
        return;
    }
    std::optional<PlistValue> description = fetchUpdateDescription();
    dispatch_async(dispatch_get_main_queue(), [weak, description = std::move(description)] {
        if (auto self = weak.lock()) self->whatIsNewVersionDiff(description);
    });
}

std::optional<PlistValue> EUCheckUpdateWindowController::fetchUpdateDescription() {
    // It comes from the network: its size is bounded, and the reader refuses what is too deep.
    auto link = EULinkUrl::GetUrl("IniURL");
    if (!link) return std::nullopt;
    auto url = NSURL::URLWithString(*link);
    if (!url) return std::nullopt;
    return NSDictionaryFromURL(*url, kMaxDescriptionBytes);
}

long long EUCheckUpdateWindowController::localBuildNumber() {
    auto settings = SettingsFile::load();
    const PlistValue* value = settings ? settings->objectForKey("VersionCheck") : nullptr;
    return value ? value->integerValue() : 0;
}

std::optional<long long> EUCheckUpdateWindowController::buildNumberOf(const PlistValue* value) {
    if (!value) return std::nullopt;
    if (value->isInteger() || value->isReal()) return value->integerValue();
    if (!value->isString()) return std::nullopt;
    const std::string text = *value->stringValue();
    if (text.empty() ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return value->integerValue();
}

std::vector<std::pair<int, std::string>> EUCheckUpdateWindowController::featureLinesOf(
    const PlistValue& description) {
    std::vector<std::pair<int, std::string>> lines;
    const PlistValue::Dictionary* entries = description.dictionaryValue();
    if (!entries) return lines;
    for (const auto& [key, value] : *entries) {
        std::optional<int> number = lineNumberOf(key);
        if (number && value.isString()) lines.emplace_back(*number, *value.stringValue());
    }
    std::sort(lines.begin(), lines.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    return lines;
}

void EUCheckUpdateWindowController::showOnly(NSView* pane) {
    for (NSView* view : {checkProgressView_.get(), noNetworkView_.get(), noUpdateView_.get(),
                         haveUpdateView_.get()})
        if (view) view->setHidden(view != pane);
    if (progressBar_ && pane != checkProgressView_.get()) progressBar_->stopAnimation(nullptr);
    if (NSWindow* w = isWindowLoaded() ? window() : nullptr)
        if (NSView* content = w->contentView()) content->setNeedsDisplay(true);
}

void EUCheckUpdateWindowController::whatIsNewVersionDiff(
    const std::optional<PlistValue>& description) {
    showOnly(nullptr);

    // A description without a usable build number counts as a failed fetch.
    const std::optional<long long> remote =
        description ? buildNumberOf(description->objectForKey("VersionCheck")) : std::nullopt;
    if (localBuildNumber() >= remote.value_or(0)) {
        showOnly(noUpdateView_.get());
        return;
    }

    showOnly(haveUpdateView_.get());
    if (versionLabel_)
        versionLabel_->setStringValue(ns::stringWithFormat(
            "New features of Version %@ :", versionTextOf(description->objectForKey("Version"))));

    const auto lines = featureLinesOf(*description);
    const Ref<NSFont> measureFont = NSFont::systemFontOfSize(10);
    float documentHeight = 0;
    for (const auto& line : lines)
        documentHeight += std::max(
            30.0f, static_cast<float>(heightForStringDrawing(line.second, measureFont, 200)));
    documentHeight = std::max(documentHeight, 260.0f);

    if (!showVersionScrollView_) return;
    for (auto& old : std::vector<Ref<NSView>>(showVersionScrollView_->subviews()))
        old->removeFromSuperview();
    showVersionScrollView_->setFrame(NSMakeRect(0, 0, kDocumentWidth, documentHeight));

    const Ref<NSFont> lineFont = NSFont::systemFontOfSize(13);
    double above = 0;
    for (const auto& [number, text] : lines) {
        auto field = NSTextField::make();
        field->setStringValue(ns::stringWithFormat("%d:%@", number, text));
        field->cell()->setLineBreakMode(NSLineBreakByWordWrapping);
        field->setBackgroundColor(NSColor::controlColor());
        field->setTextColor(Palette::paleWhite());
        field->setFont(lineFont);
        field->setBezeled(false);
        field->setEditable(false);
        field->setToolTip(text);
        const double height = std::max(25.0, heightForStringDrawing(text, lineFont, 400));
        above += height;
        field->setFrame(NSMakeRect(0, documentHeight - above, kDocumentWidth, height));
        showVersionScrollView_->addSubview(field);
    }
}

double EUCheckUpdateWindowController::heightForStringDrawing(const std::string& text,
                                                             const Ref<NSFont>& font,
                                                             double width) {
    NSAttributes attributes;
    if (font) attributes[NSFontAttributeName] = font;
    return ns::boundingRectWithSize(text, NSMakeSize(width, FLT_MAX),
                                    NSStringDrawingUsesLineFragmentOrigin, attributes)
        .size.height;
}

// --- Closing ---------------------------------------------------------------------------------

void EUCheckUpdateWindowController::endDialog() {
    if (auto app = NSApplication::sharedApplication()) app->stopModal();
    if (NSWindow* w = isWindowLoaded() ? window() : nullptr) w->close();
    if (auto target = delegate_.lock()) target->performSelector(SEL("runRootWindow"));
}

void EUCheckUpdateWindowController::closeWindow(NSObject*) {
    endDialog();
}

void EUCheckUpdateWindowController::closeWindowAction(NSObject*) {
    endDialog();
}

bool EUCheckUpdateWindowController::openDownloadPage(const std::string& address) {
    auto url = NSURL::URLWithString(address);
    if (!url) return false;
    const std::string scheme = ns::lowercaseString(url->scheme());
    NSStringOpt host = url->host();
    if ((scheme != "http" && scheme != "https") || !host || host->empty()) return false;
    return NSWorkspace::sharedWorkspace()->openURL(*url);
}

void EUCheckUpdateWindowController::updateClickHereAction(NSObject*) {
    openDownloadPage(kDownloadPage);
}

void EUCheckUpdateWindowController::fadeOut() {
    if (NSWindow* w = isWindowLoaded() ? window() : nullptr) w->animator()->setAlphaValue(0);
}

bool EUCheckUpdateWindowController::windowShouldClose(NSWindow*) {
    fadeOut();
    return false;
}

void EUCheckUpdateWindowController::animationDidStop(CAAnimation*, bool) {
    NSWindow* w = isWindowLoaded() ? window() : nullptr;
    if (!w || w->alphaValue() != 0) return;
    if (auto app = NSApplication::sharedApplication()) app->stopModal();
    w->close();
    // Closed, it may be shown again by the next check: it must not come back invisible.
    w->setAlphaValue(1.0);
    if (shuttingDown_)
        if (auto app = NSApplication::sharedApplication()) app->terminate(nullptr);
}

NSApplicationTerminateReply EUCheckUpdateWindowController::applicationShouldTerminate(
    NSApplication*) {
    if (shuttingDown_) return NSTerminateNow;
    fadeOut();
    shuttingDown_ = true;
    return NSTerminateCancel;
}

void EUCheckUpdateWindowController::registerClass() {
    using C = EUCheckUpdateWindowController;
    ClassRegistry::shared()
        .registerClass<C, NSWindowController>("EUCheckUpdateWindowController")
        .outlet("checkProgressView", &C::setCheckProgressView)
        .outlet("noNetworkView", &C::setNoNetworkView)
        .outlet("noUpdateView", &C::setNoUpdateView)
        .outlet("haveUpdateView", &C::setHaveUpdateView)
        .outlet("versionLabel", &C::setVersionLabel)
        .outlet("changeValueScrollView", &C::setChangeValueScrollView)
        .outlet("progressBar", &C::setProgressBar)
        .outlet("showVersionScrollView", &C::setShowVersionScrollView)
        .outlet("proCloseButton", &C::setProCloseButton)
        .outlet("noNetCloseButton", &C::setNoNetCloseButton)
        .outlet("newCloseButton", &C::setNewCloseButton)
        .outlet("haveLaterButton", &C::setHaveLaterButton)
        .outlet("installButton", &C::setInstallButton)
        .outlet("delegate", &C::setDelegate)
        .method("getVersionChange", &C::getVersionChange)
        .action("closeWindow:", &C::closeWindow)
        .action("closeWindowAction:", &C::closeWindowAction)
        .action("updateClickHereAction:", &C::updateClickHereAction);
}
