#pragma once
// What a catalogue list tells the uninstall screen: the scan's start and end, the tick state
// after every change, and a row's trash button.

#include <string>

class AMAppItem;

class AMAppsViewControllerDelegate {
  public:
    virtual ~AMAppsViewControllerDelegate() = default;
    /// isSearchButtonEdit: NO when a scan starts, YES when it ends (sent on the scanning thread).
    virtual void isSearchButtonEdit(bool editable) = 0;
    /// getAppEnd: the scan walked its last folder (sent on the scanning thread).
    virtual void getAppEnd() = 0;
    /// changeUninstallState:withTotalSize:withShowLabel: `count` ticked items whose sizes sum
    /// to `totalSize` bytes, and the summary text (main thread).
    virtual void changeUninstallState(int count, float totalSize, const std::string& label) = 0;
    /// searchRelatedFiles: a row's trash button was pressed outside a scan (`item` is nil).
    virtual void searchRelatedFiles(AMAppItem* item) = 0;
};
