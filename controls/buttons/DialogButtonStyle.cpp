#include "controls/buttons/DialogButtonStyle.h"

#include "controls/buttons/TextImageButton.h"

void DialogButtonStyle::apply(TextImageButton* button, const std::string& imageBase,
                              const std::string& title) {
    if (!button) return;
    button->setButtonEnabled(true);
    button->setImageFromFileNormalName(imageBase, imageBase + "_press", imageBase + "_hover",
                                       imageBase + "_disable");
    button->setTextWithName(title, 12);
}

void DialogButtonStyle::primary(TextImageButton* button, const std::string& title) {
    apply(button, kPrimary, title);
}

void DialogButtonStyle::secondary(TextImageButton* button, const std::string& title) {
    apply(button, kSecondary, title);
}
