#pragma once
// Images: a size in points, an optional name, and a source (an SVG, PNG or .icns file, or a
// bitmap drawn through lockFocus) that is decoded on first use and drawn at the destination's
// resolution. An icon (.icns) given a size is scaled once, when decoded, to that size and keeps
// only those pixels; SVG renderings are kept for the last few device sizes drawn.

#include <any>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/NSGeometry.h"
#include "platform/foundation/NSObject.h"
#include "platform/graphics/NSGraphicsContext.h"

/// Drawing hints by key; keys other than the ones below are ignored.
using NSImageHints = std::map<std::string, std::any>;
/// Hint key: an NSImageInterpolation (or its unsigned long value) used for this draw in place
/// of the context's own setting.
extern const std::string NSImageHintInterpolation;

class NSImage : public NSObject {
  public:
    struct Impl;

    /// An empty image of size zero.
    static Ref<NSImage> image() { return std::make_shared<NSImage>(); }
    /// The image called `name` in the main bundle's "images" folder: "<name>.svg", else
    /// "<name>.png" (a name with either extension is taken as it is). The same object is
    /// answered every time; the image keeps the name. nullptr when there is no such file.
    static Ref<NSImage> imageNamed(const std::string& name);
    /// The image in the SVG, PNG or .icns file at `path` (of an .icns, the smallest member of
    /// at least twice the size set, else its largest), read on first use; nullptr when the
    /// file does not exist.
    static Ref<NSImage> initWithContentsOfFile(const std::string& path);
    /// The same, drawing the source of `fallback` instead when the file turns out unreadable
    /// on first use (a broken icon); nullptr when the file does not exist.
    static Ref<NSImage> initWithContentsOfFile(const std::string& path,
                                               const Ref<NSImage>& fallback);
    /// An image of `size` with nothing in it (draw into it with lockFocus).
    static Ref<NSImage> initWithSize(NSSize size) { return std::make_shared<NSImage>(size); }

    NSImage();
    explicit NSImage(NSSize size);
    ~NSImage() override;

    /// The size in points: as set, else the SVG's intrinsic size or the PNG's pixel size.
    NSSize size() const;
    void setSize(NSSize size);
    /// The name the image is registered under (imageNamed:), or "".
    const std::string& name() const { return name_; }
    /// Registers the image under `name` for imageNamed: (dropping its previous name); "" only
    /// unregisters. False, changing nothing, when another image holds the name.
    bool setName(const std::string& name);
    /// Whether the image has something to draw (decodes it).
    bool isValid() const;
    /// The file the image is read from ("" for bitmaps and empty images).
    std::string sourcePath() const;
    /// Whether the source has been read and decoded yet (drawing, sizing or isValid do it).
    bool isDecoded() const;
    /// Whether decoding the file failed and the fallback's source is drawn instead.
    bool usesFallback() const;

    /// What identifies the content of a file: device, inode, length and modification time.
    struct FileStamp {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::int64_t length = 0;
        std::int64_t modifiedNanoseconds = 0;
        bool operator==(const FileStamp&) const = default;
    };
    /// The stamp of the source file as it was just before it was decoded; nullopt before
    /// decoding, for images that are not read from a file, and when the file could not be read.
    std::optional<FileStamp> decodedFileStamp() const;
    /// The stamp of the file at `path` now (links followed), or nullopt when there is none.
    static std::optional<FileStamp> stampOfFile(const std::string& path);
    /// The pixel size of the bitmap the image keeps now: an icon given a size keeps only that
    /// many pixels (times the screen scale); zero when it keeps none (not decoded, SVG, empty).
    NSSize keptPixelSize() const;
    /// How many renderings of an SVG document one image keeps, one per device size and
    /// placement; drawing again at a kept one copies its pixels.
    static constexpr std::size_t kSvgSizesKept = 4;
    /// How many times SVG documents have been rendered from their vectors in this process.
    static unsigned long svgRenderingCount();

    /// Draws the part `fromRect` (image points, y up from the bottom-left; NSZeroRect: all of
    /// it) scaled into `rect` of the current context. With `respectFlipped` the image stays
    /// upright in flipped coordinates.
    void drawInRect(NSRect rect, NSRect fromRect, NSCompositingOperation operation, double fraction,
                    bool respectFlipped = false, const NSImageHints& hints = {});
    /// The whole image into `rect`, source-over, upright in flipped coordinates.
    void drawInRect(NSRect rect);
    /// `fromRect` (NSZeroRect: all) at its own size with its origin at `point`.
    void drawAtPoint(NSPoint point, NSRect fromRect, NSCompositingOperation operation,
                     double fraction);

    /// A new image of `size` filled by the centred part of this image that has the aspect ratio
    /// of `size` (full width and a cut height when the width must shrink less, else full
    /// height and a cut width; the cut split evenly, rounded down), drawn with copy
    /// compositing, fully opaque, upright and with low interpolation. An empty image of
    /// `size` when either size is empty.
    Ref<NSImage> imageCroppedToFill(NSSize size);

    /// Makes drawing go into the image (which becomes a bitmap of its size) until unlockFocus.
    void lockFocus() { lockFocusFlipped(false); }
    void lockFocusFlipped(bool flipped);
    void unlockFocus();

    Impl& impl() const { return *impl_; }

  private:
    std::unique_ptr<Impl> impl_;
    std::string name_;
};
