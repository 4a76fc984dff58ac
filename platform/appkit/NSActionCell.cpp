#include "platform/appkit/NSActionCell.h"

Ref<NSCell> NSActionCell::clone() const {
    return Ref<NSCell>(new NSActionCell(*this));
}
