#include "controls/TopImageView.h"

#include "controls/TopImageCell.h"

Ref<NSCell> TopImageView::makeCell() const {
    return std::make_shared<TopImageCell>();
}

void TopImageView::registerClass() {
    ClassRegistry::shared().registerClass<TopImageView, NSImageView>("TopImageView");
}
