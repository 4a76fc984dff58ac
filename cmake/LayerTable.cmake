# The house's layers: for each folder, the folders whose headers its files may include besides
# its own (every include runs down), and the third-party libraries whose headers it may include.
# The platform's library targets link what this table names, and CheckLayers.cmake refuses any
# other include. A folder's subfolders belong to it (platform/backend/sdl is platform/backend).

# Third-party headers, by the start of their include path, and the library each belongs to.
set(LAYER_THIRD_PARTY_HEADERS
    "plist/=libplist" "curl/=libcurl" "unicode/=ICU" "cairo=Cairo" "pango/=Pango"
    "fontconfig/=fontconfig" "librsvg/=librsvg" "openjpeg=OpenJPEG" "pugixml=pugixml"
    "SDL=SDL2" "X11/=X11")

# Platform layers, from the bottom.
set(LAYER_FOLDERS
    platform/foundation platform/dispatch platform/coreservices platform/security
    platform/graphics platform/appkit platform/backend platform/testing)

set(LAYER_USES_platform/foundation)
set(LAYER_LIBS_platform/foundation libplist libcurl ICU)

set(LAYER_USES_platform/dispatch platform/foundation)
set(LAYER_LIBS_platform/dispatch)

set(LAYER_USES_platform/coreservices platform/foundation)
set(LAYER_LIBS_platform/coreservices)

set(LAYER_USES_platform/security platform/foundation)
set(LAYER_LIBS_platform/security)

set(LAYER_USES_platform/graphics platform/foundation)
set(LAYER_LIBS_platform/graphics Cairo Pango fontconfig librsvg OpenJPEG)

set(LAYER_USES_platform/appkit platform/foundation platform/dispatch platform/graphics)
set(LAYER_LIBS_platform/appkit pugixml)

set(LAYER_USES_platform/backend platform/foundation platform/graphics platform/appkit)
set(LAYER_LIBS_platform/backend SDL2 X11)

set(LAYER_USES_platform/testing
    platform/foundation platform/dispatch platform/graphics platform/appkit)
set(LAYER_LIBS_platform/testing)

# The application, from the bottom: services/ (what every screen shares), controls/, windows/,
# appsManager/, languages/ (the language remover builds on the uninstaller, never the other way)
# and shell/ on top. Each may use the folders beneath it and the whole platform but its test
# helpers; only shell/ (where main chooses the window system) may use the backends.
set(APP_PLATFORM_USES
    platform/foundation platform/dispatch platform/coreservices platform/security
    platform/graphics platform/appkit)
set(APP_LAYER_FOLDERS services controls windows appsManager languages shell)
set(beneath "")
foreach(folder ${APP_LAYER_FOLDERS})
    list(APPEND LAYER_FOLDERS ${folder})
    set(LAYER_USES_${folder} ${beneath} ${APP_PLATFORM_USES})
    set(LAYER_LIBS_${folder})
    list(APPEND beneath ${folder})
endforeach()
list(APPEND LAYER_USES_shell platform/backend)
