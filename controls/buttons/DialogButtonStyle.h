#pragma once
// The two looks of a dialog's push buttons: the primary one (the action the dialog is for) and
// the secondary one (Cancel, Close, OK), each four images and a 12-point label.

#include <string>

class TextImageButton;

class DialogButtonStyle {
  public:
    /// The images of the action a dialog is for.
    static constexpr const char* kPrimary = "btn_poppri";
    /// The images of the buttons that close a dialog.
    static constexpr const char* kSecondary = "btn_popsec";

    /// Makes `button` usable, gives it the images `imageBase`, `imageBase`_press, _hover and
    /// _disable, and the label `title` at 12 points; nothing for nullptr.
    static void apply(TextImageButton* button, const std::string& imageBase,
                      const std::string& title);
    /// apply with the primary images.
    static void primary(TextImageButton* button, const std::string& title);
    /// apply with the secondary images.
    static void secondary(TextImageButton* button, const std::string& title);
};
