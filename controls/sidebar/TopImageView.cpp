#include "controls/sidebar/TopImageView.h"

#include "controls/sidebar/TopImageCell.h"

Ref<NSCell> TopImageView::makeCell() const {
    return std::make_shared<TopImageCell>();
}

void TopImageView::registerClass() {
    ClassRegistry::shared().registerClass<TopImageView, NSImageView>("TopImageView");
}
