#include "controls/rowcells/RowCellClasses.h"

#include "controls/rowcells/ImageAndTextCell.h"
#include "controls/rowcells/ImageTextCell.h"
#include "controls/rowcells/NewButton.h"
#include "controls/rowcells/RSVerticallyCenteredTextFieldCell.h"
#include "controls/rowcells/RemoveButtonCell.h"
#include "controls/rowcells/showSelectImageCell.h"

void registerRowCellClasses() {
    NewButton::registerClass();
    RemoveButtonCell::registerClass();
    ImageTextCell::registerClass();
    ImageAndTextCell::registerClass();
    showSelectImageCell::registerClass();
    RSVerticallyCenteredTextFieldCell::registerClass();
}
