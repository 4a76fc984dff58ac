#pragma once
// The editable text of a field editor: characters, a selection with an anchor, the editing
// commands and an undo stack. Positions count Unicode characters (code points).

#include <cstddef>
#include <string>
#include <vector>

class TextEditBuffer {
  public:
    /// Replaces the text (invalid UTF-8 becomes U+FFFD), puts the caret at its end and
    /// forgets the undo history.
    void setString(const std::string& utf8);
    /// The text as UTF-8.
    std::string string() const;
    /// The number of characters.
    std::size_t length() const { return text_.size(); }
    const std::u32string& characters() const { return text_; }

    /// The fixed end of the selection (where a Shift-extension starts).
    std::size_t anchor() const { return anchor_; }
    /// The moving end of the selection, where the caret is drawn.
    std::size_t caret() const { return caret_; }
    std::size_t selectionStart() const { return anchor_ < caret_ ? anchor_ : caret_; }
    std::size_t selectionEnd() const { return anchor_ < caret_ ? caret_ : anchor_; }
    bool hasSelection() const { return anchor_ != caret_; }
    /// Selects [start, start + count), clamped to the text; the caret goes to the end.
    void select(std::size_t start, std::size_t count);
    /// Moves the caret to `position`, keeping the anchor when `extend`.
    void moveTo(std::size_t position, bool extend);
    /// The selected text as UTF-8.
    std::string selectedString() const;

    // Editing commands; each answers whether the text changed.
    /// Replaces the selection by `utf8`; consecutive typing undoes as one step.
    bool insert(const std::string& utf8, bool typing = true);
    /// Deletes the selection, or the character before the caret.
    bool deleteBackward();
    /// Deletes the selection, or the character after the caret.
    bool deleteForward();
    /// Deletes the selection (for cut).
    bool deleteSelection();

    // Caret movement.
    /// One character left; without `extend` a selection collapses to its start.
    void moveLeft(bool extend);
    /// One character right; without `extend` a selection collapses to its end.
    void moveRight(bool extend);
    void moveToStart(bool extend) { moveTo(0, extend); }
    void moveToEnd(bool extend) { moveTo(text_.size(), extend); }
    void selectAll() { select(0, text_.size()); }
    /// Selects the word (or run of spaces, or run of other marks) at `position`.
    void selectWord(std::size_t position);

    // Undo.
    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    /// Restores the text and selection before the last change; false when there is none.
    bool undo();
    /// Reapplies the last undone change; false when there is none.
    bool redo();
    /// Forgets every step.
    void clearUndo();

  private:
    struct State {
        std::u32string text;
        std::size_t anchor = 0, caret = 0;
    };
    State state() const { return {text_, anchor_, caret_}; }
    void restore(const State& s);
    void recordUndo(bool typing);
    void replaceSelection(const std::u32string& with);

    std::u32string text_;
    std::size_t anchor_ = 0, caret_ = 0;
    std::vector<State> undo_, redo_;
    bool typingRun_ = false;
};

namespace platform::text {
/// Decodes UTF-8; an invalid or truncated sequence gives one U+FFFD per bad byte.
std::u32string decodeUtf8(const std::string& utf8);
std::string encodeUtf8(const std::u32string& text);
/// The number of UTF-16 units of the first `count` characters.
std::size_t utf16Length(const std::u32string& text, std::size_t count);
/// The character index of UTF-16 offset `units` (inside a pair: the pair's character).
std::size_t characterIndexOfUtf16(const std::u32string& text, std::size_t units);
}  // namespace platform::text
