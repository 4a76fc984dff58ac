#pragma once
// Shared by the list-view and header-cell tests: a window on the headless backend with a
// fresh application, a data source of flat rows (tables) or flat items (outlines) with empty
// values so that only the row painting shows, and pixel reads at a view's own coordinates.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "controls/lists/ListViewClasses.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSOutlineView.h"
#include "platform/appkit/NSTableColumn.h"
#include "platform/appkit/NSTableView.h"
#include "platform/appkit/NSWindow.h"
#include "platform/appkit/PlatformClasses.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSGraphicsContext.h"
#include "platform/testing/WindowTesting.h"

namespace listtest {

namespace pt = platform::testing;
using Pixel = NSGraphicsContext::Pixel;

struct RGB {
    int r, g, b;
};

/// Whether `p` is within `tolerance` of `want` on every channel.
inline bool near(Pixel p, RGB want, int tolerance = 2) {
    return std::abs(p.r - want.r) <= tolerance && std::abs(p.g - want.g) <= tolerance &&
           std::abs(p.b - want.b) <= tolerance;
}

inline std::string str(Pixel p) {
    return std::to_string(p.r) + "," + std::to_string(p.g) + "," + std::to_string(p.b);
}

/// `rows` rows of empty values for tables; as many leaf items (or expandable ones) for outlines.
class Rows : public NSObject, public NSTableViewDataSource, public NSOutlineViewDataSource {
  public:
    explicit Rows(long count = 6) {
        for (long i = 0; i < count; ++i)
            items.push_back(std::make_shared<NSObject>());
    }
    long numberOfRowsInTableView(NSTableView*) override { return long(items.size()); }
    std::any objectValueForTableColumn(NSTableView*, NSTableColumn*, long) override {
        return std::any(std::string());
    }
    long numberOfChildrenOfItem(NSOutlineView*, const Ref<NSObject>& item) override {
        if (!item) return long(items.size());
        return expandable ? 1 : 0;
    }
    Ref<NSObject> child(NSOutlineView*, long index, const Ref<NSObject>& item) override {
        if (!item) return items[std::size_t(index)];
        return std::make_shared<NSObject>();
    }
    bool isItemExpandable(NSOutlineView*, const Ref<NSObject>& item) override {
        return expandable && item;
    }
    std::any objectValueForTableColumn(NSOutlineView*, NSTableColumn*,
                                       const Ref<NSObject>&) override {
        return std::any(std::string());
    }

    std::vector<Ref<NSObject>> items;
    bool expandable = false;
};

class ListWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        registerPlatformClasses();
        registerListViewClasses();
        NSApplication::resetSharedApplicationForTesting();
        app = NSApplication::sharedApplication();
        window = std::make_shared<NSWindow>();
        window->initWithContentRect(NSMakeRect(0, 0, 800, 300), NSWindowStyleMaskBorderless,
                                    NSBackingStoreBuffered, false);
        window->setBackgroundColor(NSColor::blackColor());
        window->orderFront();
        rows = std::make_shared<Rows>();
    }
    void TearDown() override {
        window->orderOut();
        NSApplication::resetSharedApplicationForTesting();
    }

    /// Puts `table` in the window at `frame` with `columns` columns, `rowHeight` rows without
    /// intercell spacing and the shared data source.
    template <class Table>
    void place(const Ref<Table>& table, NSRect frame, double rowHeight = 48, int columns = 3) {
        table->setFrame(frame);
        table->setIntercellSpacing(NSMakeSize(0, 0));
        table->setRowHeight(rowHeight);
        for (int i = 0; i < columns; ++i) {
            auto column = NSTableColumn::make("c" + std::to_string(i));
            column->setWidth(150);
            column->setTitle("T" + std::to_string(i));
            table->addTableColumn(column);
        }
        table->setDataSource(rows);
        window->contentView()->addSubview(table);
    }

    /// Renders the window now; pixels are then read with px.
    void render() { surface = pt::renderWindow(*window); }
    /// The pixel under point (x, y) of `view` (its own coordinates), as last rendered.
    Pixel px(const NSView& view, double x, double y) const {
        if (!surface) return {};
        NSPoint base = view.convertPointToView(NSMakePoint(x, y), nullptr);
        return surface->pixelAt(int(base.x), surface->pixelsHigh() - 1 - int(base.y));
    }

    Ref<NSApplication> app;
    Ref<NSWindow> window;
    Ref<Rows> rows;
    Ref<NSGraphicsContext> surface;
};

}  // namespace listtest
