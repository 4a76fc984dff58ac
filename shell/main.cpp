// Entry point of the uninstaller.
#include <clocale>
#include <cstdio>
#include <cstring>

#include "platform/appkit/BackendSelection.h"
#include "platform/appkit/NSApplication.h"
#include "platform/security/PrivilegedHelper.h"
#include "shell/ApplicationClasses.h"

int main(int argc, char** argv) {
    // The same executable serves as the privileged helper that administrator removals use.
    if (auto code = platform::runPrivilegedHelperIfRequested(argc, argv)) return *code;
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("uninstaller %s\n", UNINSTALLER_VERSION);
        return 0;
    }
    std::setlocale(LC_CTYPE, "C.UTF-8");
    registerApplicationClasses();
    platform::installDefaultBackend();
    return NSApplicationMain(argc, argv);
}
