#pragma once

// The device interface class of the Wine test driver: made up for it, registered by no real
// driver. The monitor learns it from zelva1-monitor.ini, as it would a real driver's.

namespace wine_driver {

inline constexpr char kTestInterfaceClassText[] = "{5B8C9E1D-7A2F-4E63-9D14-C0A7E35B2F86}";

} // namespace wine_driver
