#include "appsManager/AMAppItem.h"

AMAppItem::AMAppItem() : image_(NSImage::image()), date_(NSDate::date()) {}

Ref<AMAppItem> AMAppItem::initWithInfoDictionary(
    const Ref<NSImage>& image, const std::string& name, const std::string& path,
    const NSStringOpt& bundleID, const NSStringOpt& bundleVersion, const NSDate& date,
    const std::string& isSystemAppStr, const std::string& size) {
    auto item = make();
    item->image_ = image;
    item->name_ = name;
    item->path_ = path;
    item->bundleID_ = bundleID;
    item->bundleVersion_ = bundleVersion;
    item->date_ = date;
    item->isSystemAppStr_ = isSystemAppStr;
    item->size_ = size;
    return item;
}

Ref<AMAppItem> AMAppItem::copyWithZone() const {
    auto copy = initWithInfoDictionary(image_, name_, path_, bundleID_, bundleVersion_, date_,
                                       isSystemAppStr_, size_);
    copy->entryRecord_ = entryRecord_;
    return copy;
}

std::string AMAppItem::description() const {
    return ns::stringWithFormat("<AMAppItem: %@ %@ %@>", name_, path_, size_);
}

void AMAppItem::registerClass() {
    ClassRegistry::shared().registerClass<AMAppItem, NSObject>("AMAppItem");
}
