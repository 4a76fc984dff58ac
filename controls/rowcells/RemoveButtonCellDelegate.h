#pragma once
// What a RemoveButtonCell row cell tells its owner: the trash icon of a row was clicked.

class RemoveButtonCell;

class RemoveButtonCellDelegate {
  public:
    virtual ~RemoveButtonCellDelegate() = default;
    /// clickRemoveButtonAction: the trash icon of the row that `cell` is drawing was clicked.
    virtual void clickRemoveButtonAction(RemoveButtonCell* cell) = 0;
};
