#pragma once
// Shared by the row-cell tests: a window on the headless backend with the shipped images, a
// list (a real table) whose owner configures its one column's cell for each row and records
// the clicks it hears of with the row selected at that moment, a flipped view that draws one
// cell, and pixel helpers.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/rowcells/NewButton.h"
#include "controls/rowcells/NewButtonDelegate.h"
#include "controls/rowcells/RemoveButtonCell.h"
#include "controls/rowcells/RemoveButtonCellDelegate.h"
#include "controls/rowcells/RowCellClasses.h"
#include "platform/appkit/ControlClasses.h"
#include "platform/appkit/ListClasses.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSTableColumn.h"
#include "platform/appkit/NSTableView.h"
#include "platform/appkit/NSWindow.h"
#include "platform/appkit/PlatformClasses.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSGraphics.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/graphics/NSImage.h"
#include "platform/testing/WindowTesting.h"
#include "support/ScopedResources.h"

namespace rowcelltest {

namespace pt = platform::testing;
using Pixel = NSGraphicsContext::Pixel;

/// Whether a pixel is near `r g b` (0..255 each).
inline bool near(Pixel p, int r, int g, int b, int tolerance = 40) {
    auto close = [tolerance](int x, int y) { return x - y <= tolerance && y - x <= tolerance; };
    return close(p.r, r) && close(p.g, g) && close(p.b, b);
}

/// An image of `size` filled with `color` (or, with `bottom`, its upper half `color` and its
/// lower half `bottom`, to tell upright from upside down).
inline Ref<NSImage> solidImage(NSSize size, const Ref<NSColor>& color,
                               const Ref<NSColor>& bottom = nullptr) {
    auto image = NSImage::initWithSize(size);
    image->lockFocus();
    color->setFill();
    NSRectFill(NSMakeRect(0, 0, size.width, size.height));
    if (bottom) {
        bottom->setFill();
        NSRectFill(NSMakeRect(0, 0, size.width, size.height / 2));
    }
    image->unlockFocus();
    return image;
}

/// A borderless window that can still be key.
class KeyableWindow : public NSWindow {
  public:
    bool canBecomeKeyWindow() const override { return true; }
    bool canBecomeMainWindow() const override { return true; }
};

/// A view that draws one cell in `cellFrame` over a black background.
class CellHostView : public NSView {
  public:
    bool isFlipped() const override { return flipped; }
    void drawRect(NSRect) override {
        NSColor::blackColor()->setFill();
        NSRectFill(bounds());
        if (cell) cell->drawWithFrame(cellFrame, this);
    }
    bool flipped = true;
    Ref<NSCell> cell;
    NSRect cellFrame;
};

/// The owner of a list: one row value per row, the column's cell configured before each draw
/// and each tracked copy (delegate, selection flag), and the clicks it is told of.
class ListOwner : public NSObject,
                  public NSTableViewDataSource,
                  public NSTableViewDelegate,
                  public NewButtonDelegate,
                  public RemoveButtonCellDelegate {
  public:
    struct Click {
        NSCell* cell;
        long selectedRow;
        Ref<NSObject> kept;  // the cell told of, kept for the checks (lists drop their copies)
    };

    long numberOfRowsInTableView(NSTableView*) override { return rows; }
    void willDisplayCell(NSTableView* table, NSCell* cell, NSTableColumn*, long row) override {
        const bool selected = row == table->selectedRow();
        if (auto* trash = dynamic_cast<RemoveButtonCell*>(cell)) {
            trash->setDelegate(weak_from_this());
            trash->setIsIn(selected);
        }
        if (auto* name = dynamic_cast<NewButton*>(cell)) {
            name->setDelegate(weak_from_this());
            name->setIsSelect(selected);
        }
    }
    void clickButtonAction(NewButton* cell) override { record(cell); }
    void clickRemoveButtonAction(RemoveButtonCell* cell) override { record(cell); }

    void record(NSCell* cell) {
        auto* view = dynamic_cast<NSTableView*>(cell->controlView());
        clicks.push_back({cell, view ? view->selectedRow() : -9, cell->weak_from_this().lock()});
        if (onClick) onClick(cell);
    }

    long rows = 4;
    std::vector<Click> clicks;
    std::function<void(NSCell*)> onClick;
};

/// A window with the shipped images as resources and a fresh application.
class RowCellWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        registerPlatformClasses();
        registerAppKitControlClasses();
        registerAppKitListClasses();
        registerRowCellClasses();
        RemoveButtonCell::resetClickLatchForTesting();
        NSApplication::resetSharedApplicationForTesting();
        app = NSApplication::sharedApplication();
        resources = std::make_unique<fixtures::ScopedResources>(UNINSTALLER_RESOURCES_DIR);
        window = std::make_shared<KeyableWindow>();
        window->initWithContentRect(NSMakeRect(0, 0, 700, 300), NSWindowStyleMaskBorderless,
                                    NSBackingStoreBuffered, false);
        window->setBackgroundColor(NSColor::blackColor());
        window->makeKeyAndOrderFront();
    }
    void TearDown() override {
        pt::pumpEvents();
        RemoveButtonCell::resetClickLatchForTesting();
        window->orderOut();
        NSApplication::resetSharedApplicationForTesting();
    }

    /// A list of 48-point rows at `frame` of the window whose one 300-point column has `cell`
    /// as its data cell, owned by `owner`.
    Ref<NSTableView> addList(NSRect frame, const Ref<NSCell>& cell, const Ref<ListOwner>& owner) {
        auto table = NSTableView::make(frame);
        table->setHeaderView(nullptr);
        table->setRowHeight(48);
        table->setIntercellSpacing(NSMakeSize(0, 0));
        auto column = NSTableColumn::make("name");
        column->setWidth(300);
        column->setDataCell(cell);
        table->addTableColumn(column);
        table->setDataSource(owner);
        table->setDelegate(owner);
        window->contentView()->addSubview(table);
        tables.push_back(table);
        return table;
    }
    /// A view drawing `cell` in `cellFrame`, filling the window.
    Ref<CellHostView> addHost(const Ref<NSCell>& cell, NSRect cellFrame, bool flipped = true) {
        auto host = std::make_shared<CellHostView>();
        host->initWithFrame(window->contentView()->bounds());
        host->cell = cell;
        host->cellFrame = cellFrame;
        host->flipped = flipped;
        window->contentView()->addSubview(host);
        return host;
    }
    /// The window point of (dx, dy) from the top-left of the cell at `row` of `table`.
    NSPoint pointInCell(NSTableView& table, long row, double dx, double dy) {
        NSRect f = table.frameOfCellAtColumn(0, row);
        return table.convertPointToView(NSMakePoint(f.origin.x + dx, f.origin.y + dy), nullptr);
    }
    void click(NSPoint p) {
        pt::postClick(*window, p);
        pt::pumpEvents();
    }
    /// The pixel at (x, y) of a view's own coordinates (`view` flipped or not), as drawn now.
    Pixel pixelIn(NSView& view, double x, double y) {
        return pixelOf(pt::renderWindow(*window), view, x, y);
    }
    /// The same, read from a surface already rendered.
    static Pixel pixelOf(const Ref<NSGraphicsContext>& surface, NSView& view, double x, double y) {
        if (!surface) return {};
        NSPoint base = view.convertPointToView(NSMakePoint(x, y), nullptr);
        return surface->pixelAt(int(base.x), surface->pixelsHigh() - 1 - int(base.y));
    }

    std::unique_ptr<fixtures::ScopedResources> resources;
    Ref<NSApplication> app;
    Ref<KeyableWindow> window;
    std::vector<Ref<NSTableView>> tables;
};

}  // namespace rowcelltest
