#include "services/TCPublicUtilities.h"

#include <mutex>

#include "platform/coreservices/Gestalt.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSURLConnection.h"
#include "platform/graphics/NSParagraphStyle.h"
#include "services/EULinkUrl.h"
#include "services/Palette.h"
#include "services/SettingsFile.h"

namespace {

constexpr const char* kHomePage = "http://www.uninstaller.example/";

std::mutex gHomePageMutex;
std::string& homePageOverride() {
    static std::string url;
    return url;
}

/// "scheme://host[:port]/" of an http or https address; nil for anything else.
std::optional<std::string> serverRoot(const std::string& address) {
    auto url = NSURL::URLWithString(address);
    if (!url) return std::nullopt;
    const std::string scheme = ns::lowercaseString(url->scheme());
    NSStringOpt host = url->host();
    if ((scheme != "http" && scheme != "https") || !host || host->empty()) return std::nullopt;
    std::string root = scheme + "://";
    root += host->find(':') != std::string::npos ? "[" + *host + "]" : *host;
    if (url->port()) root += ":" + std::to_string(*url->port());
    return root + "/";
}

void writeFontName(const Ref<NSFont>& font, const char* key) {
    if (!font) return;
    SettingsFile::setValue(PlistValue(font->fontName()), key);
}

}  // namespace

std::string TCPublicUtilities::homePageURL() {
    {
        std::lock_guard lock(gHomePageMutex);
        if (!homePageOverride().empty()) return homePageOverride();
    }
    // The home page lives on the server of the update description.
    if (auto link = EULinkUrl::GetUrl("IniURL"))
        if (auto root = serverRoot(*link)) return *root;
    return kHomePage;
}

void TCPublicUtilities::setHomePageURL(const std::string& url) {
    std::lock_guard lock(gHomePageMutex);
    homePageOverride() = url;
}

bool TCPublicUtilities::isCanBeUseNetWork() {
    auto url = NSURL::URLWithString(homePageURL());
    if (!url) return false;
    auto request =
        NSURLRequest::requestWithURL(*url, NSURLRequestReloadIgnoringLocalCacheData, 5.0);
    return NSURLConnection::sendSynchronousRequest(request).has_value();
}

std::optional<std::string> TCPublicUtilities::getUpDataTimeStr() {
    return SettingsFile::stringForKey("upDataTimeStr");
}

void TCPublicUtilities::writeUpDataTimeStr(const std::string& text) {
    SettingsFile::setValue(PlistValue(text), "upDataTimeStr");
}

int TCPublicUtilities::getSystemVersion() {
    std::uint32_t major = 0, minor = 0;
    getSystemVersionMajor(&major, &minor, nullptr);
    std::string minorText = ns::stringWithFormat("%u", minor);
    minorText = ns::integerValue(minorText) < 10 ? ns::stringWithFormat("0%u", minor)
                                                 : ns::stringWithFormat("%u", minor);
    return static_cast<int>(ns::integerValue(ns::stringWithFormat("%u%@", major, minorText)));
}

void TCPublicUtilities::getSystemVersionMajor(std::uint32_t* major, std::uint32_t* minor,
                                              std::uint32_t* bugFix) {
    auto fill = [&](std::uint32_t a, std::uint32_t b, std::uint32_t c) {
        if (major) *major = a;
        if (minor) *minor = b;
        if (bugFix) *bugFix = c;
    };
    SInt32 packed = 0;
    OSErr err = Gestalt(gestaltSystemVersion, &packed);
    if (err == noErr) {
        const auto v = static_cast<std::uint32_t>(packed);
        if (v <= 0x103F) {
            // Before 10.4 the answer is packed decimal digits: 0x1039 is 10.3.9.
            fill(((v >> 12) & 0xF) * 10 + ((v >> 8) & 0xF), (v >> 4) & 0xF, v & 0xF);
            return;
        }
        SInt32 parts[3] = {0, 0, 0};
        const OSType selectors[3] = {gestaltSystemVersionMajor, gestaltSystemVersionMinor,
                                     gestaltSystemVersionBugFix};
        for (int i = 0; i < 3 && err == noErr; ++i)
            err = Gestalt(selectors[i], &parts[i]);
        if (err == noErr) {
            fill(static_cast<std::uint32_t>(parts[0]), static_cast<std::uint32_t>(parts[1]),
                 static_cast<std::uint32_t>(parts[2]));
            return;
        }
    }
    NSLog("Unable to obtain system version: %ld", static_cast<long>(err));
    fill(10, 0, 0);
}

void TCPublicUtilities::writLightFont(const Ref<NSFont>& font) {
    writeFontName(font, "FontLight");
}
void TCPublicUtilities::writRegularFont(const Ref<NSFont>& font) {
    writeFontName(font, "FontRegular");
}
void TCPublicUtilities::writBoldFont(const Ref<NSFont>& font) {
    writeFontName(font, "FontBold");
}

std::optional<std::string> TCPublicUtilities::getLightFontName() {
    return SettingsFile::stringForKey("FontLight");
}
std::optional<std::string> TCPublicUtilities::getRegularFontName() {
    return SettingsFile::stringForKey("FontRegular");
}
std::optional<std::string> TCPublicUtilities::getBoldFontName() {
    return SettingsFile::stringForKey("FontBold");
}

Ref<NSFont> TCPublicUtilities::regularFontOfSize(double size) {
    const std::optional<std::string> name = getRegularFontName();
    Ref<NSFont> font = name ? NSFont::fontWithName(*name, size) : nullptr;
    return font ? font : NSFont::systemFontOfSize(size);
}

Ref<NSMutableAttributedString> TCPublicUtilities::setAddItunesBackup(const std::string& text,
                                                                     double size) {
    auto result = NSMutableAttributedString::make(text);
    const NSRange all = NSMakeRange(0, result->length());
    auto style = std::make_shared<NSMutableParagraphStyle>();
    style->setAlignment(NSCenterTextAlignment);
    result->beginEditing();
    result->addAttribute(NSFontAttributeName, NSFont::systemFontOfSize(size), all);
    result->addAttribute(NSForegroundColorAttributeName, Palette::paleWhite(), all);
    result->addAttribute(NSParagraphStyleAttributeName, style, all);
    result->endEditing();
    return result;
}
