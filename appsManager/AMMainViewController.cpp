#include "appsManager/AMMainViewController.h"

#include "platform/appkit/NSTextField.h"
#include "platform/appkit/NSView.h"
#include "platform/graphics/NSColor.h"
#include "platform/graphics/NSFont.h"
#include "shell/TCPublicUtilities.h"

std::pair<std::string, std::string> AMMainViewController::headlineFor(int entry) {
    switch (entry) {
        case 1:
            return {"Plugins", "Uninstall useless plug-ins to save more disk space."};
        case 2:
            return {"PreferencesPanes",
                    "Uninstall useless PreferencesPanes to save more disk space."};
        case 3:
            return {"Widgets", "Uninstall useless Widgets to save more disk space."};
        case 4:
            return {"multi-language", "Remove unnecessary multi-language files."};
        case 5:
            return {" ", " "};
        default:
            return {"Applications", "Easily and completely uninstall unnecessary applications."};
    }
}

void AMMainViewController::loadAmMainVC() {
    NSView* root = view();
    if (!root || titleLabel_) return;
    auto label = [&](NSRect frame, const std::optional<std::string>& font, double size,
                     Ref<NSColor> colour) {
        auto field = NSTextField::make(frame);
        field->setBordered(false);
        field->setEditable(false);
        field->setSelectable(false);
        field->setFont(NSFont::fontWithName(font.value_or(""), size));
        field->setTextColor(std::move(colour));
        root->addSubview(field);
        return field.get();
    };
    const double top = root->bounds().size.height;
    titleLabel_ = label(NSMakeRect(24, top - 64, 600, 30), TCPublicUtilities::getBoldFontName(), 22,
                        NSColor::whiteColor());
    subtitleLabel_ = label(NSMakeRect(24, top - 92, 600, 20), TCPublicUtilities::getLightFontName(),
                           13, NSColor::colorWithDeviceWhite(1.0, 0.6));
    changeTopBarViewWith(aSelectType_);
}

void AMMainViewController::selectShowTypes(int kind) {
    aSelectType_ = kind;
}

void AMMainViewController::changeTopBarViewWith(int entry) {
    aSelectType_ = entry;
    auto [title, subtitle] = headlineFor(entry);
    if (titleLabel_) titleLabel_->setStringValue(title);
    if (subtitleLabel_) subtitleLabel_->setStringValue(subtitle);
}

void AMMainViewController::registerClass() {
    ClassRegistry::shared().registerClass<AMMainViewController, NSViewController>(
        "AMMainViewController");
}
