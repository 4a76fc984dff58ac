#include "controls/RowCellClasses.h"

#include "controls/ImageAndTextCell.h"
#include "controls/ImageTextCell.h"
#include "controls/NewButton.h"
#include "controls/RSVerticallyCenteredTextFieldCell.h"
#include "controls/RemoveButtonCell.h"
#include "controls/showSelectImageCell.h"

void registerRowCellClasses() {
    NewButton::registerClass();
    RemoveButtonCell::registerClass();
    ImageTextCell::registerClass();
    ImageAndTextCell::registerClass();
    showSelectImageCell::registerClass();
    RSVerticallyCenteredTextFieldCell::registerClass();
}
