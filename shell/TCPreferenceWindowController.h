#pragma once
// The About window: the product's name, version, introduction and notice (all from its
// interface file) and two link lines, one writing to the support mailbox and one opening the
// product's page. It runs application-modal until its close button.

#include "platform/appkit/NSTextField.h"
#include "platform/appkit/NSWindowController.h"

class TCTextLine;

class TCPreferenceWindowController : public NSWindowController {
  public:
    static Ref<TCPreferenceWindowController> make(
        std::string nibName = "TCPreferenceWindowController") {
        auto controller = std::make_shared<TCPreferenceWindowController>();
        controller->initWithWindowNibName(std::move(nibName));
        return controller;
    }

    /// The close button closes through closeWindow:; the window is clear, centred and movable
    /// by its background; the two lines get their links.
    void windowDidLoad() override;
    /// Closes the window and ends the modal loop.
    void closeWindow(NSObject* sender);

    // The texts of the interface file; no code changes them.
    const Ref<NSTextField>& name() const { return name_; }
    void setName(const Ref<NSTextField>& field) { name_ = field; }
    const Ref<NSTextField>& verson() const { return verson_; }
    void setVerson(const Ref<NSTextField>& field) { verson_ = field; }
    const Ref<NSTextField>& Introduction() const { return Introduction_; }
    void setIntroduction(const Ref<NSTextField>& field) { Introduction_ = field; }
    const Ref<NSTextField>& notice() const { return notice_; }
    void setNotice(const Ref<NSTextField>& field) { notice_ = field; }
    const Ref<TCTextLine>& emilLine() const { return emilLine_; }
    void setEmilLine(const Ref<TCTextLine>& line) { emilLine_ = line; }
    const Ref<TCTextLine>& webLine() const { return webLine_; }
    void setWebLine(const Ref<TCTextLine>& line) { webLine_ = line; }

    /// The addresses the two lines open.
    static const char* const kSupportMail;
    static const char* const kProductPage;

    static void registerClass();

  private:
    Ref<NSTextField> name_;
    Ref<NSTextField> verson_;
    Ref<NSTextField> Introduction_;
    Ref<NSTextField> notice_;
    Ref<TCTextLine> emilLine_;
    Ref<TCTextLine> webLine_;
};
