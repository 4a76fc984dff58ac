// Entry point of the uninstaller.
#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/appkit/NSApplication.h"
#include "platform/backend/BackendSelection.h"
#include "platform/security/PrivilegedHelper.h"
#include "shell/ApplicationClasses.h"
#include "shell/LaunchCheck.h"

int main(int argc, char** argv) {
    // The same executable serves as the privileged helper that administrator removals use.
    if (auto code = platform::runPrivilegedHelperIfRequested(argc, argv)) return *code;
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("uninstaller %s\n", UNINSTALLER_VERSION);
        return 0;
    }
    std::setlocale(LC_CTYPE, "C.UTF-8");
    // A start that cannot show what it is for ends at once and says why.
    if (auto problem = LaunchCheck::volumeProblem()) {
        std::fprintf(stderr, "uninstaller: %s\n", problem->c_str());
        return 2;
    }
    std::string problem;
    if (!platform::installApplicationBackend(&problem)) {
        std::fprintf(stderr, "uninstaller: %s\n", problem.c_str());
        return 2;
    }
    registerApplicationClasses();
    return NSApplicationMain(argc, argv);
}
