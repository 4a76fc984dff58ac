#include "controls/searchbox/NewSearchTextFiled.h"

#include "controls/searchbox/NewSearchTextFiledDelegate.h"
#include "platform/appkit/NSWindow.h"
#include "platform/graphics/NSAttributedString.h"
#include "platform/graphics/NSColor.h"
#include "services/Palette.h"

namespace {

const SEL& setNormalValueSelector() {
    static const SEL sel("setNormalValue");
    return sel;
}

/// The "Search" placeholder in the box's light grey.
Ref<NSAttributedString> searchPlaceholder() {
    auto text = NSMutableAttributedString::make("Search");
    Ref<NSColor> grey = Palette::searchPlaceholderGrey();
    text->addAttribute(NSForegroundColorAttributeName, grey, NSMakeRange(0, text->length()));
    return text;
}

}  // namespace

void NewSearchTextFiled::initWithNibName(std::optional<std::string> nibName,
                                         const Ref<NSBundle>& bundle) {
    NSViewController::initWithNibName(std::move(nibName), bundle);
    // A delayed perform retains its target: a box that no Ref owns cannot be scheduled.
    if (!weak_from_this().expired()) performSelectorAfterDelay(setNormalValueSelector(), {}, 0.3);
}

void NewSearchTextFiled::setNormalValue() {
    Ref<NSTextField> field = textField();
    if (!field) return;
    field->setDelegate(selfAs<NSTextFieldDelegate>());
    field->setBackgroundColor(NSColor::clearColor());
    field->setBordered(false);
    field->setDrawsBackground(false);
    field->setWantsLayer(true);
    if (NSTextFieldCell* cell = field->cell())
        cell->setPlaceholderAttributedString(searchPlaceholder());
    if (NSWindow* window = field->window()) {
        if (NSTextView* editor = window->fieldEditor(true, field.get()))
            editor->setInsertionPointColor(NSColor::whiteColor());
    }
}

void NewSearchTextFiled::controlTextDidChange(const NSNotification& notification) {
    Ref<NSTextField> field = fieldOf(notification);
    const std::string text = field ? field->stringValue() : std::string();
    if (Ref<NSButton> clear = clearButton()) clear->setHidden(text.empty());
    sendSearchKey(text.empty() ? std::nullopt : std::optional<std::string>(text));
}

void NewSearchTextFiled::controlTextDidEndEditing(const NSNotification& notification) {
    auto it = notification.userInfo().find(NSTextMovementUserInfoKey);
    if (it == notification.userInfo().end()) return;
    const long* movement = std::any_cast<long>(&it->second);
    if (!movement || *movement != NSReturnTextMovement) return;
    Ref<NSTextField> field = fieldOf(notification);
    sendSearchKey(field ? field->stringValue() : std::string());
    if (field) field->setBackgroundColor(NSColor::blackColor());
}

void NewSearchTextFiled::clearTextFieldAction(NSObject*) {
    if (Ref<NSButton> clear = clearButton()) clear->setHidden(true);
    Ref<NSTextField> field = textField();
    const std::string previous = field ? field->stringValue() : std::string();
    if (field) {
        field->setStringValue("");
        NSWindow* window = field->window();
        // While the field is edited its window's field editor holds the focus for it.
        if (window && (window->firstResponder() == field.get() || field->currentEditor()))
            window->makeFirstResponder(nullptr);
    }
    if (previous.empty()) return;
    Ref<NSObject> keep;
    if (NewSearchTextFiledDelegate* delegate = answeringDelegate(keep))
        delegate->searchCancelButtonAction();
}

void NewSearchTextFiled::doSearchAction(NSObject*) {
    Ref<NSTextField> field = textField();
    sendSearchKey(field ? field->stringValue() : std::string());
}

void NewSearchTextFiled::setEnabled(bool enabled) {
    if (Ref<NSTextField> field = textField()) field->setEnabled(enabled);
    if (Ref<NSButton> search = searchButton()) search->setEnabled(enabled);
    if (Ref<NSButton> clear = clearButton()) clear->setEnabled(enabled);
}

void NewSearchTextFiled::setTitleWithMnemonic(const std::string&) {
    if (Ref<NSButton> clear = clearButton()) clear->setHidden(true);
    if (Ref<NSTextField> field = textField()) field->setStringValue("");
}

NewSearchTextFiledDelegate* NewSearchTextFiled::answeringDelegate(Ref<NSObject>& keep) const {
    keep = searchDelegate_.lock();
    return dynamic_cast<NewSearchTextFiledDelegate*>(keep.get());
}

void NewSearchTextFiled::sendSearchKey(const std::optional<std::string>& key) {
    Ref<NSObject> keep;
    if (NewSearchTextFiledDelegate* delegate = answeringDelegate(keep))
        delegate->doSearchWithKey(key);
}

Ref<NSTextField> NewSearchTextFiled::fieldOf(const NSNotification& notification) const {
    if (Ref<NSTextField> field = textField()) return field;
    return std::dynamic_pointer_cast<NSTextField>(notification.object());
}

void NewSearchTextFiled::registerClass() {
    ClassRegistry::shared()
        .registerClass<NewSearchTextFiled, NSViewController>("NewSearchTextFiled")
        .outlet("searchButton", &NewSearchTextFiled::setSearchButton)
        .outlet("textField", &NewSearchTextFiled::setTextField)
        .outlet("clearButton", &NewSearchTextFiled::setClearButton)
        .outlet("searchDelegate", &NewSearchTextFiled::setSearchDelegate)
        .action("doSearchAction:", &NewSearchTextFiled::doSearchAction)
        .action("clearTextFieldAction:", &NewSearchTextFiled::clearTextFieldAction)
        .method("setNormalValue", &NewSearchTextFiled::setNormalValue);
}
