#include "controls/buttons/TCTextLine.h"

#include "platform/appkit/NSWorkspace.h"
#include "platform/foundation/NSURL.h"

void TCTextLine::mouseDown(NSEvent& event) {
    if (openURL_) {
        if (auto url = NSURL::URLWithString(*openURL_))
            (void)NSWorkspace::sharedWorkspace()->openURL(*url);
    }
    NSTextField::mouseDown(event);
}

void TCTextLine::registerClass() {
    ClassRegistry::shared()
        .registerClass<TCTextLine, NSTextField>("TCTextLine")
        .property("openURL", [](TCTextLine& line, const std::string& text) {
            line.setOpenURL(text);
            return true;
        });
}
