// Entry point of the uninstaller.
#include <clocale>
#include <cstdio>

#include "appsManager/AppsManagerClasses.h"
#include "platform/foundation/NSObject.h"
#include "platform/security/PrivilegedHelper.h"

int main(int argc, char** argv) {
    // The same executable serves as the privileged helper that administrator removals use.
    if (auto code = platform::runPrivilegedHelperIfRequested(argc, argv)) return *code;
    std::setlocale(LC_CTYPE, "C.UTF-8");
    registerPlatformClasses();
    registerAppsManagerClasses();
    std::printf("uninstaller %s\n", UNINSTALLER_VERSION);
    return 0;
}
