#pragma once
// Per-language links of the settings property list, with the "en" table as the fallback.

#include <optional>
#include <string>

class EULinkUrl {
  public:
    EULinkUrl() = delete;
    /// The link `name` for the user's first preferred language, else from "en", else nil.
    static std::optional<std::string> GetUrl(const std::string& name);
};
