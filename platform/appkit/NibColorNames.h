#pragma once
// Colours that the application names for its interface files: a colour attribute written as
// "palette:NAME" reads the colour registered here under NAME. Safe to use from any thread.

#include <string>
#include <string_view>

#include "platform/foundation/Ref.h"

class NSColor;

class NibColorNames {
  public:
    NibColorNames() = delete;

    /// Registers `color` under `name`, replacing an earlier colour of that name.
    static void registerColor(const std::string& name, Ref<NSColor> color);
    /// The colour registered under `name`, or nullptr when there is none.
    static Ref<NSColor> colorNamed(std::string_view name);
};
