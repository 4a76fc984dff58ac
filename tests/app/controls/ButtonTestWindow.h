#pragma once
// Shared by the image-button and window-button tests: the control-test window (see
// ControlTestSupport.h) made key and main, with the application's control and window classes
// registered and a temporary resources folder holding the settings file.

#include <memory>

#include "controls/ControlsClasses.h"
#include "support/ControlTestSupport.h"
#include "support/FileFixtures.h"
#include "support/ScopedResources.h"
#include "windows/WindowsClasses.h"

namespace buttontest {

using namespace controltest;

class ButtonWindow : public ControlWindow {
  protected:
    void SetUp() override {
        registerControlsClasses();
        registerWindowsClasses();
        dir.mkdir("resources/images");
        dir.write("resources/StringMessage.plist", fixtures::kLabelFontSettings);
        resources = std::make_unique<fixtures::ScopedResources>(dir / "resources");
        ControlWindow::SetUp();
    }
    Ref<NSWindow> makeTestWindow(NSRect frame) override { return makeWindow(frame); }

    fixtures::TempDir dir;
    std::unique_ptr<fixtures::ScopedResources> resources;
};

}  // namespace buttontest
