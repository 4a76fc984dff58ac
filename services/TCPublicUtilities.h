#pragma once
// Class-level services every screen shares: font names and the update-check time in the settings
// property list, the OS version as one integer, and the network reachability probe.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/graphics/NSAttributedString.h"
#include "platform/graphics/NSFont.h"

class TCPublicUtilities {
  public:
    TCPublicUtilities() = delete;

    /// Whether the maker's home page answers within 5 seconds (blocks the caller meanwhile).
    static bool isCanBeUseNetWork();
    /// The address the probe fetches: the one set with setHomePageURL, else the root of the
    /// server that holds the update description ("IniURL", when it is an http or https
    /// address), else the maker's home page.
    static std::string homePageURL();
    /// Fixes the probe's address (tests); "" returns to the rule above.
    static void setHomePageURL(const std::string& url);

    /// When the automatic update check last ran ("yyyy-MM-dd HH:mm:ss"), or nil.
    static std::optional<std::string> getUpDataTimeStr();
    static void writeUpDataTimeStr(const std::string& text);

    /// The OS version as major * 100 + minor: 10.15 gives 1015.
    static int getSystemVersion();
    /// Fills the three parts of the OS version; null pointers are skipped.
    static void getSystemVersionMajor(std::uint32_t* major, std::uint32_t* minor,
                                      std::uint32_t* bugFix);

    /// Store the PostScript names of the three reference fonts.
    static void writLightFont(const Ref<NSFont>& font);
    static void writRegularFont(const Ref<NSFont>& font);
    static void writBoldFont(const Ref<NSFont>& font);
    /// The stored font names, or nil.
    static std::optional<std::string> getLightFontName();
    static std::optional<std::string> getRegularFontName();
    static std::optional<std::string> getBoldFontName();
    /// The stored regular face at `size`; the system font when none is stored or it is unknown.
    static Ref<NSFont> regularFontOfSize(double size);

    /// Centred text in the system font of `size`, coloured (237, 239, 240).
    static Ref<NSMutableAttributedString> setAddItunesBackup(const std::string& text, double size);
};
