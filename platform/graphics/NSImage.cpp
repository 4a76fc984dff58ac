#include "platform/graphics/NSImage.h"

#include <librsvg/rsvg.h>
#include <sys/stat.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSLog.h"
#include "platform/graphics/IcnsReader.h"
#include "platform/graphics/detail/CairoGraphics.h"
#include "platform/graphics/detail/SvgRenditionCache.h"

using namespace platform::detail;

namespace {

/// Device pixels per point of the screens (one here); an icon is kept at its size in points
/// times this.
constexpr double kScreenScale = 1;

static_assert(NSImage::kSvgSizesKept == SvgRenditionCache::kPerDocument);

}  // namespace

struct NSImage::Impl {
    enum class Source { None, File, Bitmap };

    mutable std::mutex mutex;
    Source source = Source::None;
    std::string path;
    std::string fallbackPath;  // drawn when `path` cannot be decoded
    bool usedFallback = false;
    bool decoded = false;
    std::optional<NSImage::FileStamp> decodedStamp;  // of `path`, taken before reading it
    cairo_surface_t* bitmap = nullptr;               // PNG files, icons and focused images
    // The bitmap is an icon scaled down on decoding to the size set (the full member is gone).
    bool scaledIcon = false;
    RsvgHandle* svg = nullptr;
    SvgRenditionCache renditions;
    NSSize naturalSize{};  // valid once decoded, or read from a PNG header
    bool naturalSizeKnown = false;
    NSSize size{};
    bool sizeSet = false;
    Ref<NSGraphicsContext> focus;

    ~Impl() { dropContent(); }

    /// Frees the decoded content. Mutex held.
    void dropContent() {
        renditions.clear();
        if (bitmap) cairo_surface_destroy(bitmap);
        if (svg) g_object_unref(svg);
        bitmap = nullptr;
        svg = nullptr;
        scaledIcon = false;
    }

    /// The pixels an icon of the size set is kept at.
    std::pair<int, int> keptIconPixels() const {
        const auto pixels = [](double points) {
            return std::max(1, static_cast<int>(std::ceil(std::max(0.0, points) * kScreenScale)));
        };
        return {pixels(size.width), pixels(size.height)};
    }

    /// Reads the file once (then the fallback's file, if the first cannot be read). Called
    /// with the mutex held.
    void decode() {
        if (decoded) return;
        decoded = true;
        if (source != Source::File) return;
        // Taken before the read: a file replaced meanwhile shows as changed later, never the
        // other way round.
        std::optional<NSImage::FileStamp> stamp = NSImage::stampOfFile(path);
        if (decodeFile(path)) {
            decodedStamp = stamp;
            return;
        }
        if (fallbackPath.empty()) return;
        usedFallback = decodeFile(fallbackPath);
    }

    bool decodeFile(const std::string& file) {
        std::string head = readHead(file, 8);
        if (head.size() == 8 && head.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0) {
            cairo_surface_t* png = cairo_image_surface_create_from_png(file.c_str());
            if (cairo_surface_status(png) != CAIRO_STATUS_SUCCESS) {
                cairo_surface_destroy(png);
                NSLog("Could not read the PNG image %@", file);
                return false;
            }
            setBitmap(png);
        } else if (head.size() >= 4 && head.compare(0, 4, "icns") == 0) {
            // An image given a size needs no member beyond twice that (for sharp scaling), and
            // keeps only that size's pixels: the member is scaled down once, here.
            const auto wanted = [this](double points) {
                return sizeSet ? static_cast<std::uint32_t>(std::ceil(std::max(0.0, points) * 2))
                               : std::uint32_t{0};
            };
            std::optional<std::pair<int, int>> keep;
            if (sizeSet) keep = keptIconPixels();
            cairo_surface_t* png = decodeIcns(file, wanted(size.width), wanted(size.height), keep);
            if (!png) {
                NSLog("Could not read the icon %@", file);
                return false;
            }
            setBitmap(png);
            scaledIcon = keep.has_value();
        } else {
            GError* error = nullptr;
            svg = rsvg_handle_new_from_file(file.c_str(), &error);
            if (!svg) {
                NSLog("Could not read the image %@: %@", file,
                      std::string(error ? error->message : "unknown format"));
                if (error) g_error_free(error);
                return false;
            }
            rsvg_handle_set_dpi(svg, 72);  // one SVG pixel (and one pt) is one point
            double w = 0, h = 0;
            if (!rsvg_handle_get_intrinsic_size_in_pixels(svg, &w, &h)) {
                gboolean hasViewBox = false;
                RsvgRectangle viewBox{};
                rsvg_handle_get_intrinsic_dimensions(svg, nullptr, nullptr, nullptr, nullptr,
                                                     &hasViewBox, &viewBox);
                if (hasViewBox) w = viewBox.width, h = viewBox.height;
            }
            naturalSize = {w, h};
        }
        naturalSizeKnown = true;
        return true;
    }

    void setBitmap(cairo_surface_t* png) {
        bitmap = png;
        naturalSize = {static_cast<double>(cairo_image_surface_get_width(png)),
                       static_cast<double>(cairo_image_surface_get_height(png))};
    }

    /// The smallest member of the .icns file of at least the given pixels (the largest when
    /// none is; the next one when a member is broken), decoded, and scaled down to `keep`
    /// pixels when it is larger; nullptr when none decodes.
    static cairo_surface_t* decodeIcns(const std::string& file, std::uint32_t minWidth,
                                       std::uint32_t minHeight,
                                       std::optional<std::pair<int, int>> keep) {
        constexpr std::streamsize kMaxIcnsBytes = 32 * 1024 * 1024;
        std::ifstream in(file, std::ios::binary | std::ios::ate);
        std::streamsize size = in ? static_cast<std::streamsize>(in.tellg()) : 0;
        if (size <= 0 || size > kMaxIcnsBytes) return nullptr;
        in.seekg(0);
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
        in.read(reinterpret_cast<char*>(bytes.data()), size);
        bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(0, in.gcount())));
        auto bitmap = icns::decodeForSize(bytes, minWidth, minHeight);
        bytes = {};
        if (!bitmap) return nullptr;
        const int w = static_cast<int>(bitmap->width), h = static_cast<int>(bitmap->height);
        if (keep && (w > keep->first || h > keep->second)) {
            // The decoded pixels are already in Cairo's layout (premultiplied, native-endian
            // words, rows of `w` words): scale them straight into the kept bitmap.
            cairo_surface_t* full = cairo_image_surface_create_for_data(
                reinterpret_cast<unsigned char*>(bitmap->pixels.data()), CAIRO_FORMAT_ARGB32, w, h,
                w * 4);
            cairo_surface_t* kept =
                scaledDown(full, std::min(w, keep->first), std::min(h, keep->second));
            cairo_surface_destroy(full);
            return kept;
        }
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
        if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(surface);
            return nullptr;
        }
        cairo_surface_flush(surface);
        unsigned char* rows = cairo_image_surface_get_data(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        for (int y = 0; y < h; ++y)
            std::memcpy(rows + static_cast<std::size_t>(y) * stride,
                        bitmap->pixels.data() + static_cast<std::size_t>(y) * w,
                        static_cast<std::size_t>(w) * 4);
        cairo_surface_mark_dirty(surface);
        return surface;
    }

    /// `full` scaled to `w` x `h` pixels with the best filter; nullptr on failure.
    static cairo_surface_t* scaledDown(cairo_surface_t* full, int w, int h) {
        if (cairo_surface_status(full) != CAIRO_STATUS_SUCCESS) return nullptr;
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
        if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(surface);
            return nullptr;
        }
        cairo_t* cr = cairo_create(surface);
        cairo_scale(cr, double(w) / cairo_image_surface_get_width(full),
                    double(h) / cairo_image_surface_get_height(full));
        cairo_set_source_surface(cr, full, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BEST);
        cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_flush(surface);
        return surface;
    }

    std::string readHead(std::size_t n) const { return readHead(path, n); }

    static std::string readHead(const std::string& file, std::size_t n) {
        std::ifstream in(file, std::ios::binary);
        std::string head(n, '\0');
        in.read(head.data(), static_cast<std::streamsize>(n));
        head.resize(static_cast<std::size_t>(std::max<std::streamsize>(0, in.gcount())));
        return head;
    }

    /// The size without decoding where the file's header tells it. Mutex held.
    NSSize currentSize() {
        if (sizeSet) return size;
        if (!naturalSizeKnown && source == Source::File && !decoded) {
            std::string head = readHead(24);
            if (head.size() == 24 && head.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0 &&
                head.compare(12, 4, "IHDR") == 0) {
                auto be32 = [&](std::size_t at) {
                    return static_cast<double>(
                        (static_cast<std::uint32_t>(static_cast<unsigned char>(head[at])) << 24) |
                        (static_cast<std::uint32_t>(static_cast<unsigned char>(head[at + 1]))
                         << 16) |
                        (static_cast<std::uint32_t>(static_cast<unsigned char>(head[at + 2]))
                         << 8) |
                        static_cast<std::uint32_t>(static_cast<unsigned char>(head[at + 3])));
                };
                naturalSize = {be32(16), be32(20)};
                naturalSizeKnown = true;
            } else {
                decode();
            }
        }
        return naturalSize;
    }

    bool hasContent() {
        decode();
        return bitmap || svg;
    }

    /// Draws the content over (0, 0, size) of `cr`'s coordinates, y down. Mutex held.
    void render(cairo_t* cr, NSSize target, cairo_filter_t filter) {
        if (target.width <= 0 || target.height <= 0) return;
        if (bitmap) {
            int pw = cairo_image_surface_get_width(bitmap),
                ph = cairo_image_surface_get_height(bitmap);
            if (pw <= 0 || ph <= 0) return;
            cairo_save(cr);
            cairo_scale(cr, target.width / pw, target.height / ph);
            cairo_set_source_surface(cr, bitmap, 0, 0);
            cairo_pattern_set_filter(cairo_get_source(cr), filter);
            cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
            cairo_rectangle(cr, 0, 0, pw, ph);
            cairo_fill(cr);
            cairo_restore(cr);
        } else if (svg) {
            NSSize natural = naturalSize;
            if (natural.width <= 0 || natural.height <= 0) natural = target;
            cairo_save(cr);
            cairo_scale(cr, target.width / natural.width, target.height / natural.height);
            if (!renditions.draw(cr, svg, natural)) renderSvgDocument(cr, svg, natural);
            cairo_restore(cr);
        }
    }
};

namespace {

struct NamedImages {
    std::mutex mutex;
    std::map<std::string, Ref<NSImage>> images;
};

NamedImages& namedImages() {
    static NamedImages* instance = new NamedImages;  // images may be asked for at exit
    return *instance;
}

bool isFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool endsWith(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() &&
           s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

cairo_filter_t filterFor(NSImageInterpolation interpolation) {
    switch (interpolation) {
        case NSImageInterpolationNone:
            return CAIRO_FILTER_NEAREST;
        case NSImageInterpolationLow:
            return CAIRO_FILTER_BILINEAR;
        case NSImageInterpolationHigh:
            return CAIRO_FILTER_BEST;
        default:
            return CAIRO_FILTER_GOOD;
    }
}

NSImageInterpolation hintedInterpolation(const NSImageHints& hints, NSImageInterpolation fallback) {
    auto it = hints.find(NSImageHintInterpolation);
    if (it == hints.end()) return fallback;
    if (const auto* value = std::any_cast<NSImageInterpolation>(&it->second)) return *value;
    if (const auto* value = std::any_cast<unsigned long>(&it->second))
        return *value <= NSImageInterpolationHigh ? static_cast<NSImageInterpolation>(*value)
                                                  : fallback;
    return fallback;
}

}  // namespace

const std::string NSImageHintInterpolation = "NSImageHintInterpolation";

NSImage::NSImage() : impl_(std::make_unique<Impl>()) {}

NSImage::NSImage(NSSize size) : impl_(std::make_unique<Impl>()) {
    impl_->size = size;
    impl_->sizeSet = true;
}

NSImage::~NSImage() = default;

Ref<NSImage> NSImage::initWithContentsOfFile(const std::string& path) {
    if (!isFile(path)) return nullptr;
    auto image = std::make_shared<NSImage>();
    image->impl_->source = Impl::Source::File;
    image->impl_->path = path;
    return image;
}

Ref<NSImage> NSImage::initWithContentsOfFile(const std::string& path,
                                             const Ref<NSImage>& fallback) {
    Ref<NSImage> image = initWithContentsOfFile(path);
    if (image && fallback && fallback.get() != image.get())
        image->impl_->fallbackPath = fallback->sourcePath();
    return image;
}

Ref<NSImage> NSImage::imageNamed(const std::string& name) {
    if (name.empty()) return nullptr;
    NamedImages& named = namedImages();
    {
        std::lock_guard lock(named.mutex);
        if (auto it = named.images.find(name); it != named.images.end()) return it->second;
    }
    std::string folder = NSBundle::mainBundle()->resourcePath() + "/images/";
    std::vector<std::string> candidates;
    if (endsWith(name, ".svg") || endsWith(name, ".png")) candidates.push_back(folder + name);
    candidates.push_back(folder + name + ".svg");
    candidates.push_back(folder + name + ".png");
    for (const std::string& path : candidates) {
        if (!isFile(path)) continue;
        Ref<NSImage> image = initWithContentsOfFile(path);
        if (!image) continue;
        std::lock_guard lock(named.mutex);
        // Another thread may have found it meanwhile: keep the first.
        auto [it, inserted] = named.images.emplace(name, image);
        if (inserted) image->name_ = name;
        return it->second;
    }
    return nullptr;
}

bool NSImage::setName(const std::string& name) {
    NamedImages& named = namedImages();
    std::lock_guard lock(named.mutex);
    if (!name.empty()) {
        auto it = named.images.find(name);
        if (it != named.images.end() && it->second.get() != this) return false;
    }
    if (!name_.empty()) {
        auto it = named.images.find(name_);
        if (it != named.images.end() && it->second.get() == this) named.images.erase(it);
    }
    name_ = name;
    if (!name.empty()) {
        if (auto self = std::static_pointer_cast<NSImage>(weak_from_this().lock()))
            named.images[name] = self;
    }
    return true;
}

NSSize NSImage::size() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->currentSize();
}

void NSImage::setSize(NSSize size) {
    std::lock_guard lock(impl_->mutex);
    impl_->size = size;
    impl_->sizeSet = true;
    if (impl_->scaledIcon && impl_->bitmap) {
        // An icon kept smaller than the new size is read again at that size when next used.
        const auto [w, h] = impl_->keptIconPixels();
        if (w > cairo_image_surface_get_width(impl_->bitmap) ||
            h > cairo_image_surface_get_height(impl_->bitmap)) {
            impl_->dropContent();
            impl_->decoded = false;
            impl_->decodedStamp.reset();
            impl_->usedFallback = false;
            impl_->naturalSizeKnown = false;
        }
    }
}

bool NSImage::isValid() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->hasContent();
}

std::string NSImage::sourcePath() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->source == Impl::Source::File ? impl_->path : std::string();
}

bool NSImage::isDecoded() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->decoded;
}

bool NSImage::usesFallback() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->usedFallback;
}

std::optional<NSImage::FileStamp> NSImage::decodedFileStamp() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->decodedStamp;
}

std::optional<NSImage::FileStamp> NSImage::stampOfFile(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileStamp{
        static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
        static_cast<std::int64_t>(st.st_size),
        static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

void NSImage::drawInRect(NSRect rect) {
    drawInRect(rect, NSZeroRect, NSCompositingOperationSourceOver, 1, true);
}

void NSImage::drawAtPoint(NSPoint point, NSRect fromRect, NSCompositingOperation operation,
                          double fraction) {
    NSSize size = NSIsEmptyRect(fromRect) ? this->size() : fromRect.size;
    drawInRect(NSRect{point, size}, fromRect, operation, fraction, false);
}

Ref<NSImage> NSImage::imageCroppedToFill(NSSize size) {
    auto result = NSImage::initWithSize(size);
    if (size.width <= 0 || size.height <= 0) return result;
    const NSSize source = this->size();
    if (source.width <= 0 || source.height <= 0) return result;
    const double widthRatio = size.width / source.width;
    const double heightRatio = size.height / source.height;
    NSRect crop{{0, 0}, source};
    if (widthRatio > heightRatio) {
        // Full width, the height cut to the target's proportions.
        crop.size.height = source.width * size.height / size.width;
        crop.origin.y = std::floor((source.height - crop.size.height) * 0.5);
    } else {
        crop.size.width = source.height * size.width / size.height;
        crop.origin.x = std::floor((source.width - crop.size.width) * 0.5);
    }
    result->lockFocus();
    drawInRect(NSRect{{0, 0}, size}, crop, NSCompositingOperationCopy, 1.0, true,
               {{NSImageHintInterpolation, NSImageInterpolationLow}});
    result->unlockFocus();
    return result;
}

void NSImage::drawInRect(NSRect rect, NSRect fromRect, NSCompositingOperation operation,
                         double fraction, bool respectFlipped, const NSImageHints& hints) {
    auto context = NSGraphicsContext::currentContext();
    if (!context || NSIsEmptyRect(rect)) return;
    std::lock_guard lock(impl_->mutex);
    if (!impl_->hasContent()) return;
    NSSize size = impl_->currentSize();
    if (size.width <= 0 || size.height <= 0) return;
    if (NSIsEmptyRect(fromRect)) fromRect = NSRect{{0, 0}, size};
    const GraphicsState& state = stateOf(*context);
    // The context's alpha is laid on by drawWithShadow.
    double alpha = std::clamp(std::isnan(fraction) ? 0.0 : fraction, 0.0, 1.0);
    cairo_t* cr = cairoOf(*context);
    drawWithShadow(*context, [&] {
        cairo_save(cr);
        cairo_new_path(cr);
        cairo_rectangle(cr, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
        cairo_clip(cr);
        cairo_translate(cr, rect.origin.x, rect.origin.y);
        cairo_scale(cr, rect.size.width / fromRect.size.width,
                    rect.size.height / fromRect.size.height);
        if (context->isFlipped() && respectFlipped) {
            cairo_translate(cr, -fromRect.origin.x,
                            -(size.height - fromRect.origin.y - fromRect.size.height));
        } else {
            // The image's own coordinates, y up; its rows run from the top.
            cairo_translate(cr, -fromRect.origin.x, -fromRect.origin.y);
            cairo_translate(cr, 0, size.height);
            cairo_scale(cr, 1, -1);
        }
        cairo_push_group(cr);
        impl_->render(cr, size, filterFor(hintedInterpolation(hints, state.interpolation)));
        cairo_pop_group_to_source(cr);
        cairo_set_operator(cr, cairoOperator(operation));
        cairo_paint_with_alpha(cr, alpha);
        cairo_restore(cr);
    });
}

void NSImage::lockFocusFlipped(bool flipped) {
    Ref<NSGraphicsContext> focus;
    {
        std::lock_guard lock(impl_->mutex);
        NSSize size = impl_->currentSize();
        int w = std::max(1, static_cast<int>(std::ceil(size.width)));
        int h = std::max(1, static_cast<int>(std::ceil(size.height)));
        if (!(impl_->bitmap && cairo_image_surface_get_width(impl_->bitmap) == w &&
              cairo_image_surface_get_height(impl_->bitmap) == h && !impl_->svg)) {
            cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
            cairo_t* cr = cairo_create(surface);
            if (impl_->hasContent())
                impl_->render(cr, NSSize{double(w), double(h)}, CAIRO_FILTER_GOOD);
            cairo_destroy(cr);
            impl_->dropContent();
            impl_->bitmap = surface;
        }
        impl_->source = Impl::Source::Bitmap;
        impl_->decodedStamp.reset();
        impl_->scaledIcon = false;  // what is drawn into it is its content now
        impl_->decoded = true;
        impl_->naturalSize = NSSize{double(w), double(h)};
        impl_->naturalSizeKnown = true;
        if (!impl_->sizeSet) {
            impl_->size = size;
            impl_->sizeSet = true;
        }
        cairo_t* cr = cairo_create(impl_->bitmap);
        if (!flipped) {
            cairo_translate(cr, 0, h);
            cairo_scale(cr, 1, -1);
        }
        focus = contextForCairo(cr, flipped);
        cairo_destroy(cr);
        impl_->focus = focus;
    }
    NSGraphicsContext::saveGraphicsState();
    NSGraphicsContext::setCurrentContext(focus);
}

void NSImage::unlockFocus() {
    {
        std::lock_guard lock(impl_->mutex);
        if (!impl_->focus) return;
        impl_->focus.reset();
        if (impl_->bitmap) cairo_surface_flush(impl_->bitmap);
    }
    NSGraphicsContext::restoreGraphicsState();
}

cairo_surface_t* platform::detail::imageSurface(NSImage& image, double scale) {
    NSImage::Impl& impl = image.impl();
    std::lock_guard lock(impl.mutex);
    if (!impl.hasContent()) return nullptr;
    NSSize size = impl.currentSize();
    int w = static_cast<int>(std::ceil(size.width * scale));
    int h = static_cast<int>(std::ceil(size.height * scale));
    if (w <= 0 || h <= 0) return nullptr;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(surface);
    impl.render(cr, NSSize{double(w), double(h)}, CAIRO_FILTER_GOOD);
    cairo_destroy(cr);
    cairo_surface_set_device_scale(surface, scale, scale);
    return surface;
}

NSSize NSImage::keptPixelSize() const {
    std::lock_guard lock(impl_->mutex);
    if (!impl_->bitmap) return NSSize{};
    return NSSize{double(cairo_image_surface_get_width(impl_->bitmap)),
                  double(cairo_image_surface_get_height(impl_->bitmap))};
}

unsigned long NSImage::svgRenderingCount() {
    return svgDocumentRenderings();
}
