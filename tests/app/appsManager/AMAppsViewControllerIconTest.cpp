// Catches a catalogue list whose drawing pass reads and decodes the bundles' icon files on
// the main thread (a page of large icons froze the window while it was drawn), and one that
// never shows an icon once it has been read in the background.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "CatalogueFixture.h"
#include "controls/rowcells/ImageTextCell.h"

namespace {

using namespace catalogue;
namespace fs = std::filesystem;

/// Feeds an icon header to every reader of a named pipe, but only once released (or after
/// a grace time, so that a reader on the main thread is not stuck for ever): until then,
/// whoever opens the pipe to read the icon waits.
class IconPipe {
  public:
    explicit IconPipe(std::string path) : path_(std::move(path)) {
        thread_ = std::thread([this] { feed(); });
    }
    ~IconPipe() {
        stop_ = true;
        release();
        thread_.join();
    }
    void release() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            released_ = true;
        }
        cv_.notify_all();
    }

  private:
    void feed() {
        sigset_t pipeSignal;
        sigemptyset(&pipeSignal);
        sigaddset(&pipeSignal, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);  // a reader that leaves early
        {
            std::unique_lock<std::mutex> lock(mutex_);
            cv_.wait_for(lock, std::chrono::seconds(2), [this] { return released_; });
        }
        while (!stop_) {
            const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd < 0) {  // no reader yet
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                continue;
            }
            const char header[8] = {'i', 'c', 'n', 's', 0, 0, 0, 8};
            [[maybe_unused]] ssize_t written = ::write(fd, header, sizeof header);
            ::close(fd);
        }
    }

    std::string path_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable cv_;
    bool released_ = false;
    std::atomic<bool> stop_{false};
};

class CatalogueIconTest : public CatalogueTest {};

TEST_F(CatalogueIconTest, DrawingLeavesTheIconFileToTheGlobalQueue) {
    const std::string app =
        bundle(root / "Applications/Painter.app", {{"CFBundleName", "Painter"},
                                                   {"CFBundleIdentifier", "test.Painter"},
                                                   {"CFBundleIconFile", "AppIcon"}});
    const fs::path icon = fs::path(app) / "Contents/Resources/AppIcon.icns";
    fs::create_directories(icon.parent_path());
    std::ofstream(icon) << "icns";  // a regular file while the scan looks for it
    makeList(0, {root / "Applications"}, true);
    ASSERT_EQ(list->showAllValues().size(), 1u);
    const Ref<NSImage> image = list->showAllValues()[0]->image();
    ASSERT_TRUE(image);
    ASSERT_EQ(image->sourcePath(), icon.string());
    ASSERT_FALSE(image->isDecoded()) << "nothing has drawn the row yet";

    // Reading the icon now waits until the pipe is released.
    fs::remove(icon);
    ASSERT_EQ(::mkfifo(icon.c_str(), 0600), 0);
    IconPipe pipe(icon.string());
    const auto start = std::chrono::steady_clock::now();
    window->displayIfNeeded();
    const double drawing =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    pipe.release();
    EXPECT_LT(drawing, 1.0) << "the drawing pass waited for the icon file";

    const long name = list->tableView()->columnWithIdentifier("appname");
    auto shownIcon = [&] {
        auto cell = std::dynamic_pointer_cast<ImageTextCell>(
            list->tableView()->preparedCellAtColumn(name, 0));
        return cell ? cell->iconImage() : nullptr;
    };
    ASSERT_TRUE(pt::runMainLoopUntil([&] { return shownIcon() == image; }))
        << "the icon never reached its row";
    EXPECT_TRUE(image->isDecoded());
    EXPECT_TRUE(image->isValid()) << "a broken icon draws the generic one";
    EXPECT_TRUE(list->tableView()->needsDisplay()) << "the row is redrawn with its icon";
}

}  // namespace
