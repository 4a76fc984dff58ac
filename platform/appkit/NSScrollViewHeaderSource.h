#pragma once
// What a document view adopts when it has a header that its scroll view should keep above it
// (a table's header view): the scroll view shows the header in a clip view of its own at the
// top, scrolled sideways with the document and never up or down.

class NSView;

class NSScrollViewHeaderSource {
  public:
    virtual ~NSScrollViewHeaderSource() = default;
    /// The header to show above the document (nullptr: none); its frame height is kept.
    virtual NSView* scrollViewHeaderView() const = 0;
};
