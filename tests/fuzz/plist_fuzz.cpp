// Fuzz target of the property-list reader: any bytes, XML or binary, must parse or give nil
// without crashing, hanging or leaking, and whatever parses must write back and parse again.
// Not built by CMake yet; with clang, from the repository root:
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I. tests/fuzz/plist_fuzz.cpp
//     platform/foundation/{PropertyList,PlistValue,NSDate,NSString}.cpp
//     $(pkg-config --cflags --libs libplist-2.0) -o plist_fuzz
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/foundation/PropertyList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto value = PropertyList::readData(std::span<const uint8_t>(data, size));
    if (value) {
        const NSData xml = PropertyList::xmlData(*value);
        (void)PropertyList::readData(std::span<const uint8_t>(xml));
        const NSData bin = PropertyList::binaryData(*value);
        (void)PropertyList::readData(std::span<const uint8_t>(bin));
        (void)value->description();
    }
    return 0;
}
