#include "platform/graphics/NSShadow.h"

#include "platform/graphics/NSGraphicsContext.h"
#include "platform/graphics/detail/CairoGraphics.h"

void NSShadow::set() const {
    if (auto context = NSGraphicsContext::currentContext())
        platform::detail::stateOf(*context).shadow = std::make_shared<NSShadow>(*this);
}
