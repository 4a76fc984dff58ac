// Catches a field editor that edits, moves or selects wrongly (UTF-16 ranges included), loses
// or mangles clipboard text, undoes wrongly, misreports the end of editing or its movement,
// draws the placeholder over text, or keeps its caret timer running when nobody edits.
#include "platform/appkit/NSTextView.h"
#include "platform/appkit/PlatformClasses.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/appkit/NSPasteboard.h"
#include "platform/appkit/NSTextField.h"
#include "platform/appkit/TextEditingClasses.h"
#include "platform/foundation/NSTimer.h"
#include "platform/graphics/NSAttributedString.h"
#include "platform/graphics/NSFont.h"
#include "support/ControlTestSupport.h"

using namespace controltest;

namespace {

constexpr unsigned short kReturn = 36, kTab = 48, kDelete = 51, kEscape = 53, kForwardDelete = 117,
                         kHome = 115, kEnd = 119, kLeft = 123, kRight = 124, kDown = 125, kUp = 126;
constexpr NSEventModifierFlags kShift = NSEventModifierFlagShift;

/// Records what a text field tells its delegate: "begin", "change:<text>", "end:<movement>".
class RecordingDelegate : public NSTextFieldDelegate {
  public:
    void controlTextDidBeginEditing(const NSNotification&) override { log.push_back("begin"); }
    void controlTextDidChange(const NSNotification& n) override {
        auto* field = dynamic_cast<NSTextField*>(n.object().get());
        log.push_back("change:" + (field ? field->stringValue() : std::string("?")));
    }
    void controlTextDidEndEditing(const NSNotification& n) override {
        auto it = n.userInfo().find(NSTextMovementUserInfoKey);
        const long* movement =
            it == n.userInfo().end() ? nullptr : std::any_cast<long>(&it->second);
        log.push_back("end:" + (movement ? std::to_string(*movement) : std::string("none")));
    }
    std::vector<std::string> log;
};

class FieldEditor : public ControlWindow {
  protected:
    void SetUp() override {
        ControlWindow::SetUp();
        registerAppKitTextEditingClasses();
        NSPasteboard::generalPasteboard()->clearContents();
        field = NSTextField::make(NSMakeRect(10, 40, 180, 24));
        field->setTextColor(NSColor::whiteColor());
        field->setFont(NSFont::systemFontOfSize(13));
        field->setTarget(recorder);
        field->setAction(SEL("press:"));
        delegate = std::make_shared<RecordingDelegate>();
        field->setDelegate(delegate);
        add(field);
    }

    /// Starts editing `text` with the selection at `range`.
    NSTextView* edit(const std::string& text, NSRange range) {
        field->setStringValue(text);
        EXPECT_TRUE(window->makeFirstResponder(field.get()));
        NSTextView* editor = field->currentEditor();
        EXPECT_NE(editor, nullptr);
        if (editor) editor->setSelectedRange(range);
        delegate->log.clear();
        return editor;
    }
    void key(unsigned short code, NSEventModifierFlags flags = 0, const std::string& chars = "") {
        pt::postKey(*window, chars, code, flags);
        pt::pumpEvents();
    }
    void type(const std::string& chars) {
        pt::postKey(*window, chars, 0);
        pt::pumpEvents();
    }
    /// Sends an editing action along the responder chain, as the menu shortcuts do.
    bool command(const char* selector) { return app->sendAction(SEL(selector), nullptr, nullptr); }
    /// Window base coordinates of character boundary `index` in the editor, mid-height.
    NSPoint pointAt(NSTextView* editor, std::size_t index) {
        return editor->convertPointToView(
            NSMakePoint(editor->xForCharacterIndex(index), editor->bounds().size.height / 2),
            nullptr);
    }
    /// How many pixels of the field's area are close to `r g b`.
    int pixelsNear(int r, int g, int b) {
        auto surface = pt::renderWindow(*window);
        int count = 0;
        NSRect f = field->frame();
        for (int y = int(f.origin.y) + 2; y < int(NSMaxY(f)) - 2; ++y)
            for (int x = int(f.origin.x) + 2; x < int(NSMaxX(f)) - 2; ++x)
                if (near(surface->pixelAt(x, surface->pixelsHigh() - 1 - y), r, g, b, 60)) ++count;
        return count;
    }

    Ref<NSTextField> field;
    std::shared_ptr<RecordingDelegate> delegate;
};

TEST_F(FieldEditor, CommandsEditAndSelectAsATableSays) {
    using Do = std::function<void()>;
    auto press = [this](unsigned short code, NSEventModifierFlags flags = 0) {
        return Do([this, code, flags] { key(code, flags); });
    };
    auto typing = [this](std::string chars) { return Do([this, chars] { type(chars); }); };
    struct Case {
        const char* name;
        std::string text;
        NSRange start;
        Do act;
        std::string expected;
        NSRange selection;
    };
    const Case cases[] = {
        {"typing inserts at the caret", "hello", {2, 0}, typing("a"), "heallo", {3, 0}},
        {"typing replaces the selection", "hello", {1, 3}, typing("X"), "hXo", {2, 0}},
        {"control characters are ignored", "hi", {2, 0}, typing("\x01\x1b"), "hi", {2, 0}},
        {"delete removes the character before", "abc", {2, 0}, press(kDelete), "ac", {1, 0}},
        {"delete at the start does nothing", "abc", {0, 0}, press(kDelete), "abc", {0, 0}},
        {"delete removes the selection", "abc", {0, 2}, press(kDelete), "c", {0, 0}},
        {"forward delete removes the next", "abc", {1, 0}, press(kForwardDelete), "ac", {1, 0}},
        {"forward delete at the end does nothing",
         "abc",
         {3, 0},
         press(kForwardDelete),
         "abc",
         {3, 0}},
        {"left collapses a selection to its start", "abcd", {1, 2}, press(kLeft), "abcd", {1, 0}},
        {"right collapses a selection to its end", "abcd", {1, 2}, press(kRight), "abcd", {3, 0}},
        {"left stops at the start", "abcd", {0, 0}, press(kLeft), "abcd", {0, 0}},
        {"right stops at the end", "abcd", {4, 0}, press(kRight), "abcd", {4, 0}},
        {"shift-left extends", "abcd", {2, 0}, press(kLeft, kShift), "abcd", {1, 1}},
        {"shift-right extends", "abcd", {2, 0}, press(kRight, kShift), "abcd", {2, 1}},
        {"home", "abcd", {2, 1}, press(kHome), "abcd", {0, 0}},
        {"end", "abcd", {1, 0}, press(kEnd), "abcd", {4, 0}},
        {"up acts as home", "abcd", {3, 0}, press(kUp), "abcd", {0, 0}},
        {"down acts as end", "abcd", {1, 0}, press(kDown), "abcd", {4, 0}},
        {"shift-home selects to the start", "abcd", {2, 0}, press(kHome, kShift), "abcd", {0, 2}},
        {"escape changes nothing", "abcd", {2, 0}, press(kEscape), "abcd", {2, 0}},
        {"select all", "abcd", {2, 0}, [this] { command("selectAll:"); }, "abcd", {0, 4}},
        // Ranges count UTF-16 units: the emoji is two of them, and moves and deletes whole.
        {"left over a surrogate pair",
         "\xC3\xA9\xF0\x9F\x98\x80x",
         {3, 0},
         press(kLeft),
         "\xC3\xA9\xF0\x9F\x98\x80x",
         {1, 0}},
        {"delete of a surrogate pair",
         "\xC3\xA9\xF0\x9F\x98\x80",
         {3, 0},
         press(kDelete),
         "\xC3\xA9",
         {1, 0}},
        {"broken UTF-8 types as replacement characters",
         "a",
         {1, 0},
         typing("\xFF\xC3"),
         "a\xEF\xBF\xBD\xEF\xBF\xBD",
         {3, 0}},
        {"typing a multi-byte character",
         "ab",
         {1, 0},
         typing("\xC3\xBC"),
         "a\xC3\xBC"
         "b",
         {2, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NSTextView* editor = edit(c.text, c.start);
        ASSERT_NE(editor, nullptr);
        c.act();
        EXPECT_EQ(editor->string(), c.expected);
        EXPECT_EQ(field->stringValue(), c.expected);
        EXPECT_EQ(editor->selectedRange(), c.selection);
        window->makeFirstResponder(nullptr);
    }
}

TEST_F(FieldEditor, ClipboardRoundTripKeepsTextAndFlattensLineBreaks) {
    auto board = NSPasteboard::generalPasteboard();
    NSTextView* editor = edit("hello world", {0, 5});
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(command("copy:"));
    EXPECT_EQ(board->stringForType(NSPasteboardTypeString), "hello");
    EXPECT_EQ(editor->string(), "hello world");

    editor->setSelectedRange({5, 6});
    EXPECT_TRUE(command("cut:"));
    EXPECT_EQ(board->stringForType(NSPasteboardTypeString), " world");
    EXPECT_EQ(editor->string(), "hello");

    editor->setSelectedRange({0, 0});
    EXPECT_TRUE(command("paste:"));
    EXPECT_EQ(editor->string(), " worldhello");
    EXPECT_EQ(editor->selectedRange(), NSMakeRange(6, 0));

    // Cutting nothing leaves the clipboard alone.
    EXPECT_TRUE(command("cut:"));
    EXPECT_EQ(board->stringForType(NSPasteboardTypeString), " world");

    // A one-line field takes pasted line breaks and tabs as spaces, other controls not at all.
    board->clearContents();
    board->setString(
        "a\r\nb\tc\x07"
        "d\n",
        NSPasteboardTypeString);
    editor->setSelectedRange({0, 11});
    command("paste:");
    EXPECT_EQ(editor->string(), "a b cd ");
    EXPECT_EQ(field->stringValue(), "a b cd ");
}

TEST_F(FieldEditor, UndoAndRedoStepThroughTheSessionOnly) {
    NSTextView* editor = edit("", {0, 0});
    ASSERT_NE(editor, nullptr);
    type("a");
    type("b");
    type("c");
    key(kDelete);
    EXPECT_EQ(editor->string(), "ab");
    command("undo:");
    EXPECT_EQ(editor->string(), "abc");
    command("undo:");  // the run of typing is one step
    EXPECT_EQ(editor->string(), "");
    command("undo:");  // nothing left: no change
    EXPECT_EQ(editor->string(), "");
    command("redo:");
    EXPECT_EQ(editor->string(), "abc");
    EXPECT_EQ(field->stringValue(), "abc");
    command("redo:");
    EXPECT_EQ(editor->string(), "ab");
    command("undo:");
    type("x");  // a new change forgets what could be redone
    command("redo:");
    EXPECT_EQ(editor->string(), "abcx");

    // A new session starts with an empty history.
    window->makeFirstResponder(nullptr);
    editor = edit(field->stringValue(), {4, 0});
    command("undo:");
    EXPECT_EQ(editor->string(), "abcx");
}

TEST_F(FieldEditor, EndOfEditingReportsHowItEnded) {
    auto other = NSTextField::make(NSMakeRect(10, 5, 180, 24));
    add(other);
    struct Case {
        const char* name;
        std::function<void()> end;
        long movement;
        std::size_t actions;
    };
    const Case cases[] = {
        {"return", [this] { key(kReturn, 0, "\r"); }, NSReturnTextMovement, 1},
        {"tab", [this] { key(kTab, 0, "\t"); }, NSTabTextMovement, 0},
        {"back-tab", [this] { key(kTab, kShift, "\t"); }, NSBacktabTextMovement, 0},
        {"click on another field", [this] { click(NSMakePoint(100, 17)); }, NSOtherTextMovement, 0},
        {"focus moved in code", [this] { window->makeFirstResponder(nullptr); },
         NSOtherTextMovement, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window->makeFirstResponder(nullptr);
        recorder->senders.clear();
        edit("", {0, 0});
        std::vector<long> posted;
        auto token = NSNotificationCenter::defaultCenter().addObserverForName(
            NSControlTextDidEndEditingNotification, field.get(), [&](const NSNotification& n) {
                posted.push_back(std::any_cast<long>(n.userInfo().at(NSTextMovementUserInfoKey)));
            });
        type("q");
        c.end();
        NSNotificationCenter::defaultCenter().removeObserver(token);
        EXPECT_EQ(delegate->log, (std::vector<std::string>{"begin", "change:q",
                                                           "end:" + std::to_string(c.movement)}));
        EXPECT_EQ(posted, std::vector<long>{c.movement});
        EXPECT_EQ(recorder->senders.size(), c.actions);
        EXPECT_EQ(field->stringValue(), "q");
    }
}

TEST_F(FieldEditor, ReturnInAnEmptyFieldReportsAndKeepsEditing) {
    NSTextView* editor = edit("", {0, 0});
    key(kReturn, 0, "\r");
    EXPECT_EQ(delegate->log, std::vector<std::string>{"end:16"});
    ASSERT_EQ(recorder->senders.size(), 1u);
    EXPECT_EQ(recorder->senders[0], field.get());
    // As on the platform, the field takes the focus again with its text selected.
    EXPECT_EQ(field->currentEditor(), editor);
    EXPECT_EQ(window->firstResponder(), editor);
    type("z");
    EXPECT_EQ(field->stringValue(), "z");
}

TEST_F(FieldEditor, ValueSetWhileEditingShowsAndAbortEndsSilently) {
    NSTextView* editor = edit("old", {3, 0});
    field->setStringValue("");
    EXPECT_EQ(editor->string(), "");
    EXPECT_TRUE(delegate->log.empty()) << "a value set in code is no user change";
    type("n");
    EXPECT_TRUE(field->abortEditing());
    EXPECT_EQ(field->currentEditor(), nullptr);
    EXPECT_EQ(window->firstResponder(), window.get());
    EXPECT_EQ(field->stringValue(), "n");
    EXPECT_EQ(delegate->log, (std::vector<std::string>{"begin", "change:n"}));
    EXPECT_EQ(editor->insertionPointTimer(), nullptr);
    EXPECT_FALSE(field->abortEditing());
}

TEST_F(FieldEditor, MouseClicksPlaceTheCaretDragsAndDoubleClicksSelect) {
    NSTextView* editor = edit("hello world", {0, 0});
    ASSERT_NE(editor, nullptr);
    click(pointAt(editor, 3));
    EXPECT_EQ(editor->selectedRange(), NSMakeRange(3, 0));
    perform({{NSEventTypeLeftMouseDown, pointAt(editor, 1)},
             {NSEventTypeLeftMouseDragged, pointAt(editor, 7)},
             {NSEventTypeLeftMouseDragged, pointAt(editor, 4)},
             {NSEventTypeLeftMouseUp, pointAt(editor, 4)}});
    EXPECT_EQ(editor->selectedRange(), NSMakeRange(1, 3));
    NSPoint inWorld = pointAt(editor, 8);
    pt::postMouse(*window, NSEventTypeLeftMouseDown, inWorld, 0, 2);
    pt::postMouse(*window, NSEventTypeLeftMouseUp, inWorld, 0, 2);
    pt::pumpEvents();
    EXPECT_EQ(editor->selectedRange(), NSMakeRange(6, 5));
    EXPECT_EQ(delegate->log, std::vector<std::string>{}) << "clicks end no editing";
}

TEST_F(FieldEditor, FocusingTheEditedFieldAgainKeepsTheSession) {
    NSTextView* editor = edit("abc", {1, 0});
    EXPECT_TRUE(window->makeFirstResponder(field.get()));
    // A click on the field's bezel, outside the editor, reaches the editor too.
    click(field->convertPointToView(NSMakePoint(1, 1), nullptr));
    EXPECT_EQ(field->currentEditor(), editor);
    EXPECT_EQ(window->firstResponder(), editor);
    EXPECT_TRUE(delegate->log.empty());
}

TEST_F(FieldEditor, FirstClickOnAFieldStartsEditingAtThePointer) {
    field->setStringValue("abcdef");
    NSRect text = field->cell()->titleRectForBounds(field->bounds());
    click(field->convertPointToView(NSMakePoint(text.origin.x + 1, text.size.height / 2 + 2),
                                    nullptr));
    NSTextView* editor = field->currentEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(window->firstResponder(), editor);
    EXPECT_EQ(editor->selectedRange(), NSMakeRange(0, 0));
}

/// A cell whose text sits 6 points lower and 10 points further right than a plain cell's.
class ShiftedTextCell : public NSTextFieldCell {
  public:
    NSRect titleRectForBounds(NSRect bounds) const override {
        NSRect r = NSTextFieldCell::titleRectForBounds(bounds);
        return NSMakeRect(r.origin.x + 10, r.origin.y + 6, r.size.width - 10, r.size.height);
    }

  protected:
    Ref<NSCell> clone() const override { return std::make_shared<ShiftedTextCell>(*this); }
};

TEST_F(FieldEditor, TheCellPlacesTheEditorAndEndsItsSession) {
    auto cell = std::make_shared<ShiftedTextCell>();
    cell->initTextCell("abc");
    cell->setEditable(true);
    field->setCell(cell);
    NSTextView* editor = edit("abc", {0, 3});
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->frame(), cell->titleRectForBounds(field->bounds()));
    EXPECT_EQ(editor->superview(), field.get());
    key(kReturn);
    EXPECT_EQ(delegate->log, (std::vector<std::string>{"end:16"}));

    // A cell asked directly selects the range it is given and hands changes to the delegate.
    auto host = NSView::make(NSMakeRect(0, 0, 100, 30));
    auto plain = NSTextFieldCell::make();
    plain->initTextCell("hello");
    auto standalone = NSTextView::make();
    plain->selectWithFrame(host->bounds(), host.get(), standalone.get(), nullptr, 1, 3);
    EXPECT_EQ(standalone->superview(), host.get());
    EXPECT_EQ(standalone->string(), "hello");
    EXPECT_EQ(standalone->selectedRange(), NSMakeRange(1, 3));
    EXPECT_EQ(standalone->delegate(), nullptr);
    plain->endEditing(standalone.get());
    EXPECT_EQ(standalone->superview(), nullptr);
}

TEST_F(FieldEditor, LongTextScrollsToKeepTheCaretInView) {
    NSTextView* editor = edit("", {0, 0});
    ASSERT_NE(editor, nullptr);
    for (int i = 0; i < 40; ++i)
        type("W");
    double width = editor->bounds().size.width;
    EXPECT_GT(editor->horizontalScrollOffset(), 0);
    double caret = editor->xForCharacterIndex(40);
    EXPECT_GE(caret, 0);
    EXPECT_LE(caret, width);
    key(kHome);
    EXPECT_EQ(editor->horizontalScrollOffset(), 0);
    key(kEnd);
    EXPECT_NEAR(editor->xForCharacterIndex(40), caret, 0.5);
}

TEST_F(FieldEditor, PlaceholderIsDrawnOnlyWhileEmpty) {
    NSAttributes red;
    red[NSForegroundColorAttributeName] = NSColor::colorWithDeviceRed(1, 0, 0, 1);
    red[NSFontAttributeName] = NSFont::boldSystemFontOfSize(16);
    field->setPlaceholderAttributedString(NSAttributedString::make("Search", red));
    EXPECT_GT(pixelsNear(255, 0, 0), 10) << "empty, not editing";
    edit("", {0, 0});
    EXPECT_GT(pixelsNear(255, 0, 0), 10) << "empty while editing";
    type("x");
    EXPECT_EQ(pixelsNear(255, 0, 0), 0) << "text while editing";
    window->makeFirstResponder(nullptr);
    EXPECT_EQ(pixelsNear(255, 0, 0), 0) << "text, not editing";
    EXPECT_GT(pixelsNear(255, 255, 255), 0) << "the field draws its text again";
}

TEST_F(FieldEditor, InsertionPointHasTheSetColourAndBlinksOnlyInTheKeyWindow) {
    NSTextView* editor = window->fieldEditor(true, field.get());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(window->fieldEditor(false, nullptr), editor) << "one shared editor";
    editor->setInsertionPointColor(NSColor::colorWithDeviceRed(0, 1, 0, 1));
    EXPECT_EQ(editor->insertionPointTimer(), nullptr) << "not editing";
    edit("", {0, 0});
    ASSERT_NE(editor->insertionPointTimer(), nullptr);
    EXPECT_TRUE(editor->insertionPointTimer()->isValid());
    EXPECT_GT(pixelsNear(0, 255, 0), 0) << "the caret in its colour";
    editor->insertionPointTimer()->fire();
    EXPECT_FALSE(editor->insertionPointShown());
    EXPECT_EQ(pixelsNear(0, 255, 0), 0) << "the blink's off phase";

    auto otherWindow = std::make_shared<KeyableWindow>();
    otherWindow->initWithContentRect(NSMakeRect(300, 0, 100, 100), NSWindowStyleMaskBorderless,
                                     NSBackingStoreBuffered, false);
    otherWindow->makeKeyAndOrderFront();
    Ref<NSTimer> old = editor->insertionPointTimer();
    EXPECT_EQ(old, nullptr) << "the window is no longer key";
    EXPECT_EQ(pixelsNear(0, 255, 0), 0) << "no caret outside the key window";
    window->makeKeyWindow();
    EXPECT_NE(editor->insertionPointTimer(), nullptr);
    EXPECT_TRUE(editor->insertionPointShown());
    window->makeFirstResponder(nullptr);
    EXPECT_EQ(editor->insertionPointTimer(), nullptr) << "editing ended";
    otherWindow->orderOut();

    // Editing in a window that is not key starts no timer.
    otherWindow->makeKeyAndOrderFront();
    edit("", {0, 0});
    EXPECT_EQ(editor->insertionPointTimer(), nullptr);
    window->makeKeyWindow();
    EXPECT_NE(editor->insertionPointTimer(), nullptr);
    otherWindow->orderOut();
}

TEST_F(FieldEditor, FieldLeavingTheWindowStopsTheCaret) {
    NSTextView* editor = edit("abc", {3, 0});
    ASSERT_NE(editor->insertionPointTimer(), nullptr);
    field->removeFromSuperview();
    EXPECT_EQ(editor->insertionPointTimer(), nullptr);
    EXPECT_EQ(window->firstResponder(), window.get());
}

TEST_F(FieldEditor, DisabledAndLabelFieldsDoNotEdit) {
    field->setEnabled(false);
    EXPECT_FALSE(window->makeFirstResponder(field.get()));
    EXPECT_EQ(field->currentEditor(), nullptr);
    auto label = NSTextField::labelWithString("label");
    add(label);
    EXPECT_FALSE(window->makeFirstResponder(label.get()));
    EXPECT_EQ(label->currentEditor(), nullptr);
}

}  // namespace

namespace {

/// An interface-file owner that is a text-field delegate.
class NibFieldOwner : public NSObject, public NSTextFieldDelegate {
  public:
    void setField(const Ref<NSTextField>& f) { field = f; }
    Ref<NSTextField> field;
};

TEST(FieldEditorInterfaceFile, DelegateOutletTakesOnlyTextFieldDelegates) {
    registerPlatformClasses();
    registerAppKitTextEditingClasses();
    ClassRegistry::shared()
        .registerClass<NibFieldOwner, NSObject>("FieldEditorTestOwner")
        .outlet("field", &NibFieldOwner::setField);
    auto owner = std::make_shared<NibFieldOwner>();
    NibLoadResult result = NibLoader::loadData(
        R"(<interface><NSTextField outlet="field" delegate="owner"/></interface>)", "Field.ui",
        owner);
    ASSERT_TRUE(result) << result.error;
    ASSERT_TRUE(owner->field);
    EXPECT_EQ(owner->field->delegate(), owner.get());

    auto plain = std::make_shared<NSObject>();
    NibLoadResult bad = NibLoader::loadData(
        R"(<interface><NSTextField delegate="owner"/></interface>)", "Bad.ui", plain);
    EXPECT_FALSE(bad);
}

}  // namespace
