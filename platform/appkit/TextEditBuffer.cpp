#include "platform/appkit/TextEditBuffer.h"

#include <algorithm>

namespace platform::text {

std::u32string decodeUtf8(const std::string& utf8) {
    std::u32string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    const std::size_t n = utf8.size();
    while (i < n) {
        auto byte = static_cast<unsigned char>(utf8[i]);
        int extra = -1;
        if (byte < 0x80)
            extra = 0;
        else if (byte >= 0xC2 && byte < 0xE0)
            extra = 1;
        else if (byte >= 0xE0 && byte < 0xF0)
            extra = 2;
        else if (byte >= 0xF0 && byte < 0xF5)
            extra = 3;
        char32_t cp = extra <= 0 ? byte : byte & (0x7F >> (extra + 1));
        bool ok = extra >= 0 && i + static_cast<std::size_t>(extra) < n;
        for (int k = 1; ok && k <= extra; ++k) {
            auto next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80) ok = false;
            cp = (cp << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not characters.
        if (ok && ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
                   (cp >= 0xD800 && cp <= 0xDFFF)))
            ok = false;
        if (!ok) {
            out.push_back(U'\uFFFD');
            ++i;
            continue;
        }
        out.push_back(cp);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

std::string encodeUtf8(const std::u32string& text) {
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::size_t utf16Length(const std::u32string& text, std::size_t count) {
    std::size_t units = 0;
    for (std::size_t i = 0; i < count && i < text.size(); ++i)
        units += text[i] > 0xFFFF ? 2 : 1;
    return units;
}

std::size_t characterIndexOfUtf16(const std::u32string& text, std::size_t units) {
    std::size_t seen = 0, i = 0;
    for (; i < text.size(); ++i) {
        std::size_t next = seen + (text[i] > 0xFFFF ? 2 : 1);
        if (next > units) break;
        seen = next;
    }
    return i;
}

}  // namespace platform::text

namespace {

enum class CharClass { Space, Word, Other };

CharClass classOf(char32_t c) {
    if (c == U' ' || c == U'\t' || c == U'\u00A0' || c == U'\u3000') return CharClass::Space;
    if ((c >= U'0' && c <= U'9') || (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') ||
        c == U'_' || c >= 0x80)
        return CharClass::Word;
    return CharClass::Other;
}

}  // namespace

void TextEditBuffer::setString(const std::string& utf8) {
    text_ = platform::text::decodeUtf8(utf8);
    anchor_ = caret_ = text_.size();
    clearUndo();
}

std::string TextEditBuffer::string() const {
    return platform::text::encodeUtf8(text_);
}

void TextEditBuffer::select(std::size_t start, std::size_t count) {
    start = std::min(start, text_.size());
    anchor_ = start;
    caret_ = start + std::min(count, text_.size() - start);
    typingRun_ = false;
}

void TextEditBuffer::moveTo(std::size_t position, bool extend) {
    caret_ = std::min(position, text_.size());
    if (!extend) anchor_ = caret_;
    typingRun_ = false;
}

std::string TextEditBuffer::selectedString() const {
    return platform::text::encodeUtf8(
        text_.substr(selectionStart(), selectionEnd() - selectionStart()));
}

void TextEditBuffer::recordUndo(bool typing) {
    // A run of typing is one step; any other change, or a move in between, starts a new one.
    if (!(typing && typingRun_)) undo_.push_back(state());
    redo_.clear();
    typingRun_ = typing;
}

void TextEditBuffer::replaceSelection(const std::u32string& with) {
    std::size_t start = selectionStart();
    text_.replace(start, selectionEnd() - start, with);
    anchor_ = caret_ = start + with.size();
}

bool TextEditBuffer::insert(const std::string& utf8, bool typing) {
    std::u32string with = platform::text::decodeUtf8(utf8);
    if (with.empty() && !hasSelection()) return false;
    recordUndo(typing && !hasSelection());
    replaceSelection(with);
    return true;
}

bool TextEditBuffer::deleteSelection() {
    if (!hasSelection()) return false;
    recordUndo(false);
    replaceSelection({});
    return true;
}

bool TextEditBuffer::deleteBackward() {
    if (hasSelection()) return deleteSelection();
    if (caret_ == 0) return false;
    recordUndo(false);
    text_.erase(caret_ - 1, 1);
    anchor_ = --caret_;
    return true;
}

bool TextEditBuffer::deleteForward() {
    if (hasSelection()) return deleteSelection();
    if (caret_ >= text_.size()) return false;
    recordUndo(false);
    text_.erase(caret_, 1);
    return true;
}

void TextEditBuffer::moveLeft(bool extend) {
    if (!extend && hasSelection())
        moveTo(selectionStart(), false);
    else
        moveTo(caret_ > 0 ? caret_ - 1 : 0, extend);
}

void TextEditBuffer::moveRight(bool extend) {
    if (!extend && hasSelection())
        moveTo(selectionEnd(), false);
    else
        moveTo(caret_ + 1, extend);
}

void TextEditBuffer::selectWord(std::size_t position) {
    if (text_.empty()) {
        moveTo(0, false);
        return;
    }
    std::size_t at = std::min(position, text_.size() - 1);
    CharClass kind = classOf(text_[at]);
    std::size_t start = at, end = at + 1;
    while (start > 0 && classOf(text_[start - 1]) == kind)
        --start;
    while (end < text_.size() && classOf(text_[end]) == kind)
        ++end;
    select(start, end - start);
}

void TextEditBuffer::restore(const State& s) {
    text_ = s.text;
    anchor_ = std::min(s.anchor, text_.size());
    caret_ = std::min(s.caret, text_.size());
    typingRun_ = false;
}

bool TextEditBuffer::undo() {
    if (undo_.empty()) return false;
    redo_.push_back(state());
    restore(undo_.back());
    undo_.pop_back();
    return true;
}

bool TextEditBuffer::redo() {
    if (redo_.empty()) return false;
    undo_.push_back(state());
    restore(redo_.back());
    redo_.pop_back();
    return true;
}

void TextEditBuffer::clearUndo() {
    undo_.clear();
    redo_.clear();
    typingRun_ = false;
}
