#pragma once
// What a NewButton row cell tells its owner: the check box of a row was clicked.

class NewButton;

class NewButtonDelegate {
  public:
    virtual ~NewButtonDelegate() = default;
    /// clickButtonAction: the check box of the row that `cell` is drawing was clicked.
    virtual void clickButtonAction(NewButton* cell) = 0;
};
