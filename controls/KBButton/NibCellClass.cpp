#include "controls/KBButton/NibCellClass.h"

#include <string>

void decodeWithOwnCellClass(const NSControl& control, const NSCell* superclassCell,
                            const NSCell* ownCell, NibCoder& coder,
                            const std::function<void()>& decode) {
    const ClassInfo* superCell = superclassCell ? superclassCell->classInfo() : nullptr;
    const ClassInfo* cell = ownCell ? ownCell->classInfo() : nullptr;
    if (control.className() == "NSControl" || !superCell || !cell || superCell == cell) {
        decode();
        return;
    }
    const std::string name = superCell->name();
    const ClassInfo* remembered = coder.classForClassName(name);
    coder.setClassForClassName(cell, name);
    decode();
    coder.setClassForClassName(remembered ? remembered : superCell, name);
}
