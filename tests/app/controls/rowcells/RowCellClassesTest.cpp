// Catches a row cell that an interface file cannot name, that is made as the wrong class, or
// that does not answer the selectors performed on it by name.
#include "controls/rowcells/RowCellClasses.h"

#include <gtest/gtest.h>

#include "controls/rowcells/ImageAndTextCell.h"
#include "controls/rowcells/ImageTextCell.h"
#include "controls/rowcells/NewButton.h"
#include "controls/rowcells/RSVerticallyCenteredTextFieldCell.h"
#include "controls/rowcells/RemoveButtonCell.h"
#include "controls/rowcells/showSelectImageCell.h"
#include "platform/appkit/NSTableColumn.h"
#include "platform/appkit/NSTableView.h"
#include "platform/appkit/NibLoader.h"
#include "platform/appkit/PlatformClasses.h"

namespace {

TEST(RowCellClasses, InterfaceFilesPlaceEveryRowCellInAColumn) {
    registerPlatformClasses();
    registerRowCellClasses();
    const char* xml = R"(<interface>
  <NSTableView>
    <NSTableColumn identifier="0"><NewButton bordered="NO"/></NSTableColumn>
    <NSTableColumn identifier="1"><RemoveButtonCell bordered="NO"/></NSTableColumn>
    <NSTableColumn identifier="2"><ImageTextCell/></NSTableColumn>
    <NSTableColumn identifier="3"><ImageAndTextCell drawsBackground="YES"/></NSTableColumn>
    <NSTableColumn identifier="4"><showSelectImageCell/></NSTableColumn>
    <NSTableColumn identifier="5"><RSVerticallyCenteredTextFieldCell editable="YES"/></NSTableColumn>
  </NSTableView>
</interface>)";
    NibLoadResult result = NibLoader::loadData(xml, "Rows.ui", nullptr);
    ASSERT_TRUE(result.ok()) << result.error;
    auto table = std::dynamic_pointer_cast<NSTableView>(result.topLevelObjects.at(0));
    ASSERT_TRUE(table);
    ASSERT_EQ(table->numberOfColumns(), 6);
    struct Case {
        const char* name;
        const char* base;
        std::vector<const char*> selectors;
    };
    const Case cases[] = {
        {"NewButton", "NSButtonCell", {"aaa:", "changeVlaue:"}},
        {"RemoveButtonCell", "NSButtonCell", {"changeVlaue:"}},
        {"ImageTextCell", "NSTextFieldCell", {}},
        {"ImageAndTextCell", "NSTextFieldCell", {}},
        {"showSelectImageCell", "NSTextFieldCell", {}},
        {"RSVerticallyCenteredTextFieldCell", "NSTextFieldCell", {}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        const Ref<NSCell>& cell = table->tableColumns()[i]->dataCell();
        ASSERT_TRUE(cell);
        EXPECT_EQ(cell->className(), c.name);
        EXPECT_TRUE(cell->isKindOfClass(c.base));
        // Copies keep their class.
        EXPECT_EQ(cell->copy()->className(), c.name);
        for (const char* selector : c.selectors)
            EXPECT_TRUE(cell->respondsToSelector(SEL(selector)));
    }
    EXPECT_TRUE(std::dynamic_pointer_cast<ImageAndTextCell>(table->tableColumns()[3]->dataCell())
                    ->drawsBackground());
    EXPECT_TRUE(table->tableColumns()[5]->dataCell()->isEditable());
}

}  // namespace
