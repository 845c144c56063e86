#include "driver_access.h"

// A build without the Windows back-end: the boards' driver cannot be reached, and no settings
// file is read, so none is ever refused.
namespace board {

BoardDriverAccess boardDriverAccess(const std::filesystem::path&, std::ostream&) { return {}; }

bool boardDriverBuiltIn() { return false; }

std::filesystem::path driverSettingsFile() { return {}; }

} // namespace board
