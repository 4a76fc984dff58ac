#pragma once
// Shared by the tests of the two progress and end dialogs (the uninstall's and the language
// removal's): the dialog of class C loaded from its interface file on the headless backend with
// a fresh application and the real resources (the light face stored as a serif so that the two
// faces differ), the panel states, pixels at base coordinates and a modal run with a deadline.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "appsManager/EUProgressView.h"
#include "appsManager/ProgressAndSortClasses.h"
#include "controls/ControlsClasses.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSWindow.h"
#include "platform/appkit/PlatformClasses.h"
#include "platform/dispatch/Dispatch.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/testing/RunLoopPump.h"
#include "platform/testing/WindowTesting.h"
#include "support/FileFixtures.h"
#include "support/RealResources.h"
#include "support/ScopedResources.h"
#include "windows/PopWindow/PopWindowClasses.h"
#include "windows/WindowsClasses.h"

namespace progresstest {

namespace pt = platform::testing;

template <class C>
class ProgressEndDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        registerPlatformClasses();
        registerControlsClasses();
        registerWindowsClasses();
        registerPopWindowClasses();
        registerProgressAndSortClasses();
        C::registerClass();
        dir.write("StringMessage.plist", fixtures::kLabelFontSettings);
        resources = std::make_unique<fixtures::ScopedResources>(dir.path());
        NSApplication::resetSharedApplicationForTesting();
        app = NSApplication::sharedApplication();
        controller = C::make();
        window = controller->window();
        ASSERT_NE(window, nullptr);
        pt::drainQueues();
    }
    void TearDown() override {
        pt::drainQueues();
        if (window) window->orderOut();
        controller.reset();
        NSApplication::resetSharedApplicationForTesting();
    }

    double barWidth() const {
        return controller->aProgressView()->progressBar()->frame().size.width;
    }
    bool endShown() const {
        return !controller->endView()->isHidden() && controller->progressView()->isHidden();
    }
    bool progressShown() const {
        return controller->endView()->isHidden() && !controller->progressView()->isHidden();
    }
    NSGraphicsContext::Pixel pixel(double x, double y) {
        auto surface = pt::renderWindow(*window);
        if (!surface) return {};
        return surface->pixelAt(int(x), surface->pixelsHigh() - 1 - int(y));
    }

    /// Runs the dialog modally while `inside` runs from the main queue; a loop that is never
    /// stopped is aborted after five seconds, which shows as NSModalResponseAbort.
    NSModalResponse runModal(NSWindow* modal, std::function<void()> inside) {
        auto finished = std::make_shared<bool>(false);
        dispatch_after(dispatch_time(DISPATCH_TIME_NOW, 5 * NSEC_PER_SEC),
                       dispatch_get_main_queue(), [finished, app = app] {
                           if (!*finished) app->abortModal();
                       });
        dispatch_async(dispatch_get_main_queue(), std::move(inside));
        NSModalResponse response = app->runModalForWindow(modal);
        *finished = true;
        return response;
    }

    /// The resources folder, shared by the whole run: images are cached by name with their
    /// path and decoded when first drawn, so the folder must outlive every test.
    const fixtures::TempDir& dir = fixtures::sharedRealResources();
    std::unique_ptr<fixtures::ScopedResources> resources;
    Ref<NSApplication> app;
    Ref<C> controller;
    NSWindow* window = nullptr;
};

}  // namespace progresstest
