#pragma once
// Path to File Manager reference, as the size walk takes it.

#include <string>

#include "platform/coreservices/FSRef.h"
#include "platform/foundation/NSString.h"

/// The reference of the item at `path`; zero-filled when nothing exists there (or nil).
FSRef fsref(const NSStringOpt& path);
