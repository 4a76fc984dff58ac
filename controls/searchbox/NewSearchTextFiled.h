#pragma once
// The search box of the uninstall screen: a text field with a search button and a clear button,
// loaded from its interface file, that reports what the user types to its search delegate.
// The field is set up (and starts reporting) 0.3 s after initWithNibName.

#include <optional>
#include <string>

#include "platform/appkit/NSButton.h"
#include "platform/appkit/NSTextField.h"
#include "platform/appkit/NSViewController.h"

class NewSearchTextFiledDelegate;

class NewSearchTextFiled : public NSViewController, public NSTextFieldDelegate {
  public:
    /// A search box that will load `nibName` ("NewSearchTextFiled") on first access of view.
    static Ref<NewSearchTextFiled> make(std::optional<std::string> nibName = "NewSearchTextFiled") {
        auto box = std::make_shared<NewSearchTextFiled>();
        box->initWithNibName(std::move(nibName), nullptr);
        return box;
    }

    /// The platform's initialiser, then setNormalValue scheduled 0.3 s later on the main run
    /// loop (the box must be owned by a Ref).
    void initWithNibName(std::optional<std::string> nibName, const Ref<NSBundle>& bundle) override;
    /// Makes the box the field's delegate and gives the field its look: no border or
    /// background, the grey "Search" placeholder and a white caret.
    void setNormalValue();

    /// Shows the clear button only while there is text and searches for it (nullopt when empty).
    void controlTextDidChange(const NSNotification& notification) override;
    /// Return searches for the text as it stands; Tab, Back-tab and clicks elsewhere do nothing.
    void controlTextDidEndEditing(const NSNotification& notification) override;

    /// Hides the clear button, empties the field and takes the focus from it; a field that held
    /// text then reports searchCancelButtonAction.
    void clearTextFieldAction(NSObject* sender);
    /// Searches for the field's text, even when it is empty.
    void doSearchAction(NSObject* sender);
    /// Enables or disables the field and both buttons.
    void setEnabled(bool enabled);
    /// Hides the clear button and empties the field (the argument is ignored).
    void setTitleWithMnemonic(const std::string& title);

    /// The object told of searches (not retained); it hears them when it adopts
    /// NewSearchTextFiledDelegate, any other object answers neither message.
    Ref<NSObject> searchDelegate() const { return searchDelegate_.lock(); }
    void setSearchDelegate(const Ref<NSObject>& delegate) { searchDelegate_ = delegate; }
    // The controls of the interface file (not retained: the view holds them).
    Ref<NSButton> searchButton() const { return searchButton_.lock(); }
    void setSearchButton(const Ref<NSButton>& button) { searchButton_ = button; }
    Ref<NSTextField> textField() const { return textField_.lock(); }
    void setTextField(const Ref<NSTextField>& field) { textField_ = field; }
    Ref<NSButton> clearButton() const { return clearButton_.lock(); }
    void setClearButton(const Ref<NSButton>& button) { clearButton_ = button; }

    static void registerClass();

  private:
    /// The delegate when it adopts the protocol, else nullptr; `keep` holds it meanwhile.
    NewSearchTextFiledDelegate* answeringDelegate(Ref<NSObject>& keep) const;
    void sendSearchKey(const std::optional<std::string>& key);
    /// The text field, or the field that posted `notification` when the outlet is unset.
    Ref<NSTextField> fieldOf(const NSNotification& notification) const;

    WeakRef<NSButton> searchButton_;
    WeakRef<NSTextField> textField_;
    WeakRef<NSButton> clearButton_;
    WeakRef<NSObject> searchDelegate_;
};
