#pragma once
// The module's USB identity. packaging/udev/70-veq-loader.rules grants the logged-in user
// access to the device with this pair; a test keeps the two in agreement.
#include <cstdint>

constexpr std::uint16_t VEQ2_VendorID = 0x1209;
constexpr std::uint16_t VEQ2_ProductID = 0x0001;
