// Test entry point: the platform's main thread is the thread that runs the tests, windows are
// image surfaces unless a test installs another backend, and the test executable doubles as the
// privileged helper that the authorization tests start.
#include <gtest/gtest.h>

#include <clocale>

#include "platform/backend/BackendSelection.h"
#include "platform/security/PrivilegedHelper.h"

int main(int argc, char** argv) {
    if (auto code = platform::runPrivilegedHelperIfRequested(argc, argv)) return *code;
    std::setlocale(LC_CTYPE, "C.UTF-8");
    platform::useHeadlessBackendByDefault();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
