#pragma once
// A light outline for interface files: every row filled white, group rows (listed in
// isRootArr by their number as decimal text) light grey, and the row the owner names
// (isSelectRow) in the selection blue, which wins over the group grey.

#include <string>
#include <vector>

#include "controls/lists/EUCustomOutlineViewDelegate.h"
#include "platform/appkit/NSOutlineView.h"

class EUCustomOutlineView : public NSOutlineView {
  public:
    static Ref<EUCustomOutlineView> make(NSRect frame = NSZeroRect) {
        auto outline = std::make_shared<EUCustomOutlineView>();
        outline->initWithFrame(frame);
        return outline;
    }
    EUCustomOutlineView() = default;

    /// The numbers ("%d") of the rows painted as group rows.
    const std::vector<std::string>& isRootArr() const { return isRootArr_; }
    std::vector<std::string>& isRootArr() { return isRootArr_; }
    void setIsRootArr(std::vector<std::string> rows) { isRootArr_ = std::move(rows); }
    /// The row painted in the selection colour (0 from creation).
    int isSelectRow() const { return isSelectRow_; }
    void setIsSelectRow(int row) { isSelectRow_ = row; }
    /// Stores the row only; the owner asks for the redraw.
    void setSelectCellBackgroundColorWithRow(int row) { isSelectRow_ = row; }
    /// Retained; the view itself never calls it.
    const Ref<EUCustomOutlineViewDelegate>& aDelegate() const { return aDelegate_; }
    void setADelegate(const Ref<EUCustomOutlineViewDelegate>& delegate) { aDelegate_ = delegate; }

    /// The row's fill (selection, group or white), then the platform's row.
    void drawRow(long row, NSRect clipRect) override;
    /// The fill colour of `row`.
    Ref<NSColor> rowColor(long row) const;

    static void registerClass();

  private:
    std::vector<std::string> isRootArr_;
    int isSelectRow_ = 0;
    Ref<EUCustomOutlineViewDelegate> aDelegate_;
};
