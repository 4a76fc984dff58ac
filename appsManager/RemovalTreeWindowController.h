#pragma once
// The dialog that shows a removal tree before anything is deleted (the review of an uninstall,
// the confirmation of a language removal): a question with the number of groups, the tree with
// its ticks, highlight and group rows, Cancel and a confirming button, in a clear movable
// window whose close button ends the modal loop. Subclasses give the tree and what a tick and a
// confirmation do.

#include <cstddef>
#include <string>
#include <vector>

#include "appsManager/RemovalTreeRows.h"
#include "controls/rowcells/NewButtonDelegate.h"
#include "platform/appkit/NSOutlineViewDataSource.h"
#include "platform/appkit/NSOutlineViewDelegate.h"
#include "platform/appkit/NSTextField.h"
#include "platform/appkit/NSWindowController.h"

class MyNewOutlineView;
class TextImageButton;

class RemovalTreeWindowController : public NSWindowController,
                                    public NSOutlineViewDataSource,
                                    public NSOutlineViewDelegate,
                                    public NewButtonDelegate {
  public:
    /// Cancel and the confirming button get their images and texts and are usable.
    void awakeFromNib() override;
    /// Retargets the close button to closeWindow:, hides the other two and makes the window
    /// centred, clear and movable by its background.
    void windowDidLoad() override;
    /// The question, with the number of groups in green regular 20 points, centred.
    void setNodeLabelStyle();

    /// Cancel: closes the dialog.
    void clickedCancelBtn(NSObject* sender);
    /// Closes the window and stops the application's current modal loop.
    void closeWindow(NSObject* sender);

    /// A tick was clicked in a row (the row is selected by then): selectRemoveLanguage.
    void clickButtonAction(NewButton* cell) override;
    /// Toggles the ticks of the selected row.
    virtual void selectRemoveLanguage() = 0;

    /// Highlights the row approved for selection.
    std::optional<bool> shouldSelectItem(NSOutlineView* outlineView,
                                         const Ref<NSObject>& item) override;
    /// No cell is edited in place.
    std::optional<bool> shouldEditTableColumn(NSOutlineView* outlineView, NSTableColumn* column,
                                              const Ref<NSObject>& item) override;
    /// Columns are not selected.
    std::optional<bool> shouldSelectTableColumn(NSOutlineView* outlineView,
                                                NSTableColumn* column) override;
    /// The highlight goes when the highlighted row is chosen again.
    void outlineViewSelectionDidChange(const NSNotification& notification) override;

    const Ref<TextImageButton>& cancelButton() const { return cancelButton_; }
    void setCancelButton(const Ref<TextImageButton>& button) { cancelButton_ = button; }
    /// The confirming button (Uninstall, Remove).
    const Ref<TextImageButton>& uninstallButton() const { return uninstallButton_; }
    void setUninstallButton(const Ref<TextImageButton>& button) { uninstallButton_ = button; }
    const Ref<MyNewOutlineView>& outlineView() const { return outlineView_; }
    void setOutlineView(const Ref<MyNewOutlineView>& outline) { outlineView_ = outline; }
    const Ref<NSTextField>& nodeLabel() const { return nodeLabel_; }
    void setNodeLabel(const Ref<NSTextField>& label) { nodeLabel_ = label; }
    /// The row numbers of the group rows as decimal text.
    const std::vector<std::string>& rootArr() const { return rows_.rootArr(); }

    /// Registers the outlets and actions every such dialog has.
    static void registerClass();

  protected:
    /// `question` takes the number of groups (%@); `confirmTitle` labels the confirming button.
    RemovalTreeWindowController(const char* question, const char* confirmTitle)
        : question_(question), confirmTitle_(confirmTitle) {}
    /// The number of groups the question counts.
    virtual std::size_t groupCount() const = 0;

    RemovalTreeRows rows_;

  private:
    const char* question_;
    const char* confirmTitle_;
    Ref<TextImageButton> cancelButton_;
    Ref<TextImageButton> uninstallButton_;
    Ref<MyNewOutlineView> outlineView_;
    Ref<NSTextField> nodeLabel_;
};
