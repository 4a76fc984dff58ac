#pragma once
// One item on disk: an installed bundle in a list, one related file in the review dialog,
// and the unit that the delete executors remove.

#include <optional>
#include <string>

#include "platform/foundation/FileEntryRecord.h"
#include "platform/foundation/NSDate.h"
#include "platform/foundation/NSObject.h"
#include "platform/foundation/NSString.h"
#include "platform/graphics/NSImage.h"

class AMAppItem : public NSObject {
  public:
    /// A blank record: empty strings, an empty image, the current date, every flag NO.
    AMAppItem();
    static Ref<AMAppItem> make() { return std::make_shared<AMAppItem>(); }

    /// A record of eight values (the first, despite its label, is the image); flags are NO.
    static Ref<AMAppItem> initWithInfoDictionary(
        const Ref<NSImage>& image, const std::string& name, const std::string& path,
        const NSStringOpt& bundleID, const NSStringOpt& bundleVersion, const NSDate& date,
        const std::string& isSystemAppStr, const std::string& size);

    /// A new record of the same values (the entry record included) sharing the image; it is
    /// never ticked, never marked system, and will have its size computed again.
    Ref<AMAppItem> copyWithZone() const;

    const Ref<NSImage>& image() const { return image_; }
    void setImage(const Ref<NSImage>& image) { image_ = image; }
    const std::string& name() const { return name_; }
    void setName(const std::string& name) { name_ = name; }
    const std::string& path() const { return path_; }
    void setPath(const std::string& path) { path_ = path; }
    /// What was recorded of the entry at path when it was found: the delete executors remove
    /// that entry and nothing else. nil for an item made some other way, which is not removed.
    const std::optional<platform::FileEntryRecord>& entryRecord() const { return entryRecord_; }
    void setEntryRecord(const std::optional<platform::FileEntryRecord>& record) {
        entryRecord_ = record;
    }
    /// "CFBundleIdentifier" of the bundle; nil when it has none.
    const NSStringOpt& bundleID() const { return bundleID_; }
    void setBundleID(const NSStringOpt& id) { bundleID_ = id; }
    bool isSystemApp() const { return isSystemApp_; }
    void setIsSystemApp(bool system) { isSystemApp_ = system; }
    /// "CFBundleShortVersionString"; nil when absent.
    const NSStringOpt& bundleVersion() const { return bundleVersion_; }
    void setBundleVersion(const NSStringOpt& version) { bundleVersion_ = version; }
    const NSDate& date() const { return date_; }
    void setDate(const NSDate& date) { date_ = date; }
    bool bIsSelected() const { return bIsSelected_; }
    void setBIsSelected(bool selected) { bIsSelected_ = selected; }
    /// "YES" or "NO", the text form of isSystemApp.
    const std::string& isSystemAppStr() const { return isSystemAppStr_; }
    void setIsSystemAppStr(const std::string& text) { isSystemAppStr_ = text; }
    /// Size text; "0KB" until the real size has been computed.
    const std::string& size() const { return size_; }
    void setSize(const std::string& size) { size_ = size; }
    /// YES once a size computation has been started for this record.
    bool bIsGetSize() const { return bIsGetSize_; }
    void setBIsGetSize(bool started) { bIsGetSize_ = started; }

    std::string description() const override;
    static void registerClass();

  private:
    Ref<NSImage> image_;
    std::string name_;
    std::string path_;
    std::optional<platform::FileEntryRecord> entryRecord_;
    NSStringOpt bundleID_ = std::string();
    bool isSystemApp_ = false;
    NSStringOpt bundleVersion_ = std::string();
    NSDate date_;
    bool bIsSelected_ = false;
    std::string isSystemAppStr_;
    std::string size_;
    bool bIsGetSize_ = false;
};
