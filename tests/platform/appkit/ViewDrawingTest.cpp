// Catches a window renderer that draws views in the wrong order, lets a view paint outside its
// frame or its superview, ignores flipping, hidden views or layer records, or redraws when
// nothing is dirty.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/appkit/NSView.h"
#include "platform/appkit/NSWindow.h"
#include "platform/backend/HeadlessBackend.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSGraphics.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/testing/WindowTesting.h"

namespace pt = platform::testing;
using Pixel = NSGraphicsContext::Pixel;

namespace {

constexpr Pixel kWhite{255, 255, 255, 255};
constexpr Pixel kRed{255, 0, 0, 255};
constexpr Pixel kBlue{0, 0, 255, 255};
constexpr Pixel kGreen{0, 255, 0, 255};

// Fills `paint` (in its own coordinates; its bounds when empty) with a colour.
class Swatch : public NSView {
  public:
    static Ref<Swatch> make(NSRect frame, Ref<NSColor> color, NSRect paint = NSZeroRect,
                            bool flipped = false) {
        auto view = std::make_shared<Swatch>();
        view->initWithFrame(frame);
        view->color_ = std::move(color);
        view->paint_ = paint;
        view->flipped_ = flipped;
        return view;
    }
    void drawRect(NSRect) override {
        ++draws;
        color_->setFill();
        NSRectFill(NSIsEmptyRect(paint_) ? bounds() : paint_);
    }
    bool isFlipped() const override { return flipped_; }
    int draws = 0;

  private:
    Ref<NSColor> color_;
    NSRect paint_;
    bool flipped_ = false;
};

// Fills only the rectangle it is asked to draw, as a list drawing its visible rows does.
class AskedFill : public NSView {
  public:
    void drawRect(NSRect asked) override {
        NSColor::redColor()->setFill();
        NSRectFill(asked);
    }
};

class ViewDrawing : public ::testing::Test {
  protected:
    void SetUp() override {
        window = NSWindow::make(NSMakeRect(0, 0, 100, 80));
        window->setBackgroundColor(NSColor::whiteColor());
        window->orderFront();
    }
    void TearDown() override { window->orderOut(); }
    void add(const Ref<NSView>& view) { window->contentView()->addSubview(view); }
    // The pixel at base coordinates (x, y) of the window (y up from the bottom).
    Pixel at(double x, double y) {
        auto surface = window->surface();
        return surface->pixelAt(int(x), surface->pixelsHigh() - 1 - int(y));
    }
    Ref<NSWindow> window;
};

TEST_F(ViewDrawing, LaterSiblingsDrawAboveEarlierOnes) {
    add(Swatch::make(NSMakeRect(10, 10, 40, 40), NSColor::redColor()));
    add(Swatch::make(NSMakeRect(30, 30, 40, 40), NSColor::blueColor()));
    ASSERT_TRUE(pt::renderWindow(*window));
    EXPECT_EQ(at(15, 15), kRed);
    EXPECT_EQ(at(40, 40), kBlue);
    EXPECT_EQ(at(65, 65), kBlue);
    EXPECT_EQ(at(80, 20), kWhite);
}

TEST_F(ViewDrawing, ViewsAreClippedToTheirFrameAndTheirSuperview) {
    // Paints 20 points past its bounds on every side.
    add(Swatch::make(NSMakeRect(40, 30, 20, 20), NSColor::redColor(),
                     NSMakeRect(-20, -20, 60, 60)));
    auto box = Swatch::make(NSMakeRect(0, 0, 30, 30), NSColor::whiteColor());
    box->addSubview(Swatch::make(NSMakeRect(20, 20, 30, 30), NSColor::blueColor()));
    add(box);
    pt::renderWindow(*window);
    EXPECT_EQ(at(50, 40), kRed);
    EXPECT_EQ(at(35, 40), kWhite);
    EXPECT_EQ(at(65, 40), kWhite);
    EXPECT_EQ(at(25, 25), kBlue);
    EXPECT_EQ(at(35, 25), kWhite);  // the part of the child outside the box
}

TEST_F(ViewDrawing, FlippedViewsDrawFromTheTop) {
    add(Swatch::make(NSMakeRect(0, 0, 50, 80), NSColor::blueColor(), NSMakeRect(0, 0, 10, 10),
                     true));
    add(Swatch::make(NSMakeRect(50, 0, 50, 80), NSColor::redColor(), NSMakeRect(0, 0, 10, 10)));
    pt::renderWindow(*window);
    EXPECT_EQ(at(5, 75), kBlue);  // top left of the flipped view
    EXPECT_EQ(at(5, 5), kWhite);
    EXPECT_EQ(at(55, 5), kRed);  // bottom left of the unflipped one
    EXPECT_EQ(at(55, 75), kWhite);
}

TEST_F(ViewDrawing, ScrolledBoundsShiftTheContent) {
    auto view =
        Swatch::make(NSMakeRect(0, 0, 100, 80), NSColor::redColor(), NSMakeRect(20, 20, 10, 10));
    view->setBoundsOrigin(NSMakePoint(20, 20));
    add(view);
    pt::renderWindow(*window);
    EXPECT_EQ(at(5, 5), kRed);
    EXPECT_EQ(at(25, 25), kWhite);
}

TEST_F(ViewDrawing, HiddenViewsAndTheirSubviewsDoNotDraw) {
    auto parent = Swatch::make(NSMakeRect(0, 0, 50, 50), NSColor::redColor());
    auto child = Swatch::make(NSMakeRect(0, 0, 20, 20), NSColor::blueColor());
    parent->addSubview(child);
    add(parent);
    parent->setHidden(true);
    pt::renderWindow(*window);
    EXPECT_EQ(at(10, 10), kWhite);
    EXPECT_EQ(child->draws, 0);
}

TEST_F(ViewDrawing, LayerBackgroundCornersAndBorderAreHonoured) {
    auto view = NSView::make(NSMakeRect(10, 10, 60, 60));
    view->setWantsLayer(true);
    view->layer()->setBackgroundColor(NSColor::greenColor());
    view->layer()->setCornerRadius(15);
    view->layer()->setMasksToBounds(true);
    view->layer()->setBorderWidth(4);
    view->layer()->setBorderColor(NSColor::redColor());
    // A child that would fill the corner is clipped by the rounded mask.
    view->addSubview(Swatch::make(NSMakeRect(0, 0, 10, 10), NSColor::blueColor()));
    add(view);
    pt::renderWindow(*window);
    EXPECT_EQ(at(40, 40), kGreen);
    EXPECT_EQ(at(40, 11), kRed);    // bottom border
    EXPECT_EQ(at(11, 11), kWhite);  // outside the rounded corner
    EXPECT_EQ(at(11, 40), kRed);    // left border, away from the corners
}

TEST_F(ViewDrawing, DisplayIfNeededRedrawsOnlyDirtyWindows) {
    auto* backend = dynamic_cast<HeadlessBackend*>(&WindowBackend::shared());
    ASSERT_NE(backend, nullptr);
    auto swatch = Swatch::make(NSMakeRect(0, 0, 10, 10), NSColor::redColor());
    add(swatch);
    window->displayIfNeeded();
    int presents = backend->presentCount(window->backendWindow());
    int draws = swatch->draws;
    window->displayIfNeeded();
    EXPECT_EQ(backend->presentCount(window->backendWindow()), presents);
    EXPECT_EQ(swatch->draws, draws);
    EXPECT_FALSE(swatch->needsDisplay());

    swatch->setNeedsDisplayInRect(NSMakeRect(2, 2, 3, 3));
    EXPECT_EQ(swatch->dirtyRect(), NSMakeRect(2, 2, 3, 3));
    window->displayIfNeeded();
    EXPECT_EQ(backend->presentCount(window->backendWindow()), presents + 1);
    EXPECT_EQ(backend->presentedSurface(window->backendWindow()), window->surface());
    EXPECT_EQ(swatch->draws, draws + 1);
}

// The window is painted afresh on every pass, so a view that marked a small part of itself
// must still be asked for all of what shows, or the rest of it would come out blank.
TEST_F(ViewDrawing, AViewThatMarksPartOfItselfKeepsTheRestDrawn) {
    auto view = std::make_shared<AskedFill>();
    view->initWithFrame(NSMakeRect(0, 0, 60, 60));
    add(view);
    window->displayIfNeeded();
    view->setNeedsDisplayInRect(NSMakeRect(2, 2, 3, 3));
    window->displayIfNeeded();
    EXPECT_EQ(at(3, 3), kRed);
    EXPECT_EQ(at(40, 40), kRed);
    EXPECT_EQ(at(80, 40), kWhite);
}

TEST_F(ViewDrawing, ResizingTheWindowResizesTheContentAndWritesPNG) {
    auto bar = Swatch::make(NSMakeRect(0, 70, 100, 10), NSColor::blueColor());
    bar->setAutoresizingMask(NSViewWidthSizable | NSViewMinYMargin);
    add(bar);
    window->setFrame(window->frameRectForContentRect(NSMakeRect(0, 0, 160, 120)));
    EXPECT_EQ(window->contentView()->frame(), NSMakeRect(0, 0, 160, 120));
    EXPECT_EQ(bar->frame(), NSMakeRect(0, 110, 160, 10));
    EXPECT_EQ(at(150, 115), kBlue);

    auto dir = std::filesystem::temp_directory_path() / "views-drawing-test";
    std::filesystem::create_directories(dir);
    auto path = (dir / "window.png").string();
    ASSERT_TRUE(pt::renderWindowToPNG(*window, path));
    EXPECT_GT(std::filesystem::file_size(path), 0u);
    std::filesystem::remove_all(dir);
}

}  // namespace
