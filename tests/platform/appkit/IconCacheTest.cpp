// Catches a rescan reading and scaling every icon again, and the opposite fault: an icon file
// replaced on disk still showing its old picture because the cache answered without looking.

#include "platform/appkit/IconCache.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <vector>

#include "support/FileFixtures.h"

namespace {

std::string svg(const char* colour) {
    return std::string(
               "<svg xmlns='http://www.w3.org/2000/svg' width='8' height='8'>"
               "<rect width='8' height='8' fill='") +
           colour + "'/></svg>";
}

class IconCacheTest : public ::testing::Test {
  protected:
    Ref<NSImage> icon(const std::string& path, NSSize size = NSMakeSize(32, 32)) {
        return cache.iconForFile(path, size, [&] {
            ++made;
            Ref<NSImage> image = NSImage::initWithContentsOfFile(path);
            if (image) image->setSize(size);
            return image;
        });
    }

    fixtures::TempDir dir;
    IconCache cache;
    int made = 0;
};

TEST_F(IconCacheTest, AnswersTheSameIconWhileItsFileIsUnchanged) {
    const std::string file = dir.write("a.svg", svg("red"));
    Ref<NSImage> first = icon(file);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(icon(file), first) << "not read yet";
    ASSERT_TRUE(first->isValid());
    EXPECT_EQ(icon(file), first) << "read, file unchanged";
    EXPECT_EQ(made, 1);
    EXPECT_NE(icon(file, NSMakeSize(16, 16)), first) << "another size is another icon";
}

TEST_F(IconCacheTest, ReadsAgainWhenTheFileChangedSinceItWasRead) {
    struct Case {
        const char* what;
        void (*change)(const std::string& file, const fixtures::TempDir& dir);
    };
    const Case cases[] = {
        {"rewritten with other content",
         [](const std::string& file, const fixtures::TempDir&) {
             std::ofstream(file, std::ios::binary) << svg("blue") << "   ";
         }},
        {"replaced by another file of the same length",
         [](const std::string& file, const fixtures::TempDir& dir) {
             const std::string other = dir.write("other.svg", svg("lime"));
             ASSERT_EQ(::rename(other.c_str(), file.c_str()), 0);
         }},
        {"touched",
         [](const std::string& file, const fixtures::TempDir&) {
             ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), nullptr, 0), 0);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string file = dir.write(std::string(c.what) + ".svg", svg("red"));
        Ref<NSImage> first = icon(file);
        ASSERT_TRUE(first->isValid());
        // Modification times can be coarse: make the change show in them.
        struct timespec old[2] = {{1, 0}, {1, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), old, 0), 0);
        first = icon(file);  // the stamp it was read with is older than the file's now
        ASSERT_TRUE(first->isValid());
        c.change(file, dir);
        EXPECT_NE(icon(file), first);
    }
}

TEST_F(IconCacheTest, LetsGoOfIconsNobodyHoldsOnceFull) {
    std::vector<Ref<NSImage>> held;
    const std::string file = dir.write("a.svg", svg("red"));
    for (std::size_t i = 0; i <= IconCache::kCapacity; ++i) {
        Ref<NSImage> image = icon(file, NSMakeSize(1 + double(i), 1));
        if (i < 10) held.push_back(image);
    }
    EXPECT_LT(cache.count(), IconCache::kCapacity / 2) << "icons nobody holds were let go";
    for (std::size_t i = 0; i < held.size(); ++i)
        EXPECT_EQ(icon(file, NSMakeSize(1 + double(i), 1)), held[i]) << "held icons stay";
}

TEST_F(IconCacheTest, KeepsEveryIconStillHeldHoweverMany) {
    // A list of more bundles than the cache's capacity holds all their icons: a rescan must
    // find every one of them again, not a cache emptied to keep within its bound.
    const std::string file = dir.write("a.svg", svg("red"));
    std::vector<Ref<NSImage>> held;
    for (std::size_t i = 0; i < 3 * IconCache::kCapacity; ++i)
        held.push_back(icon(file, NSMakeSize(1 + double(i), 1)));
    const int madeBefore = made;
    for (std::size_t i = 0; i < held.size(); ++i)
        ASSERT_EQ(icon(file, NSMakeSize(1 + double(i), 1)), held[i]) << i;
    EXPECT_EQ(made, madeBefore);
}

TEST_F(IconCacheTest, KeepsNothingWhenNoImageIsMade) {
    EXPECT_EQ(
        cache.iconForFile(dir / "missing.icns", NSMakeSize(32, 32), [] { return Ref<NSImage>(); }),
        nullptr);
    EXPECT_EQ(cache.count(), 0u);
}

}  // namespace
