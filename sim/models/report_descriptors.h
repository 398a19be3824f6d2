#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "device_access/command_frame.h"

// HID report descriptors of the simulated interfaces. Discovery numbers the
// top-level collections in descriptor order, so the order is part of the
// contract: on the 0x320F interfaces the consumer-control (event) collection
// must be the 3rd and the vendor command collection the 4th.
namespace brontal::sim {

inline constexpr std::uint8_t kEventReportId = 0x03;         // 0x320F interfaces
inline constexpr std::uint8_t kHeadsetEventReportId = 0x01;
inline constexpr std::uint8_t kHeadsetLightReportId = 0xFF;

namespace descriptor_detail {

template <std::size_t... N>
constexpr auto Concat(const std::array<std::uint8_t, N>&... parts) {
  std::array<std::uint8_t, (N + ...)> out{};
  std::size_t at = 0;
  ((std::copy(parts.begin(), parts.end(), out.begin() + static_cast<std::ptrdiff_t>(at)), at += N), ...);
  return out;
}

inline constexpr auto kKeyboardCollection = std::to_array<std::uint8_t>({
    0x05, 0x01,        // Usage Page (Generic Desktop)
    0x09, 0x06,        // Usage (Keyboard)
    0xA1, 0x01,        // Collection (Application)
    0x85, 0x01,        //   Report ID (1)
    0x05, 0x07,        //   Usage Page (Keyboard/Keypad)
    0x19, 0xE0,        //   Usage Minimum (Left Control)
    0x29, 0xE7,        //   Usage Maximum (Right GUI)
    0x15, 0x00,        //   Logical Minimum (0)
    0x25, 0x01,        //   Logical Maximum (1)
    0x75, 0x01,        //   Report Size (1)
    0x95, 0x08,        //   Report Count (8)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x01,        //   Report Count (1)
    0x81, 0x01,        //   Input (Constant)
    0x05, 0x08,        //   Usage Page (LEDs)
    0x19, 0x01,        //   Usage Minimum (Num Lock)
    0x29, 0x05,        //   Usage Maximum (Kana)
    0x75, 0x01,        //   Report Size (1)
    0x95, 0x05,        //   Report Count (5)
    0x91, 0x02,        //   Output (Data, Variable, Absolute)
    0x75, 0x03,        //   Report Size (3)
    0x95, 0x01,        //   Report Count (1)
    0x91, 0x01,        //   Output (Constant)
    0x05, 0x07,        //   Usage Page (Keyboard/Keypad)
    0x19, 0x00,        //   Usage Minimum (0)
    0x2A, 0xFF, 0x00,  //   Usage Maximum (255)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x06,        //   Report Count (6)
    0x81, 0x00,        //   Input (Data, Array, Absolute)
    0xC0,              // End Collection
});

inline constexpr auto kMouseCollection = std::to_array<std::uint8_t>({
    0x05, 0x01,              // Usage Page (Generic Desktop)
    0x09, 0x02,              // Usage (Mouse)
    0xA1, 0x01,              // Collection (Application)
    0x85, 0x01,              //   Report ID (1)
    0x09, 0x01,              //   Usage (Pointer)
    0xA1, 0x00,              //   Collection (Physical)
    0x05, 0x09,              //     Usage Page (Button)
    0x19, 0x01,              //     Usage Minimum (1)
    0x29, 0x05,              //     Usage Maximum (5)
    0x15, 0x00,              //     Logical Minimum (0)
    0x25, 0x01,              //     Logical Maximum (1)
    0x75, 0x01,              //     Report Size (1)
    0x95, 0x05,              //     Report Count (5)
    0x81, 0x02,              //     Input (Data, Variable, Absolute)
    0x75, 0x03,              //     Report Size (3)
    0x95, 0x01,              //     Report Count (1)
    0x81, 0x01,              //     Input (Constant)
    0x05, 0x01,              //     Usage Page (Generic Desktop)
    0x09, 0x30,              //     Usage (X)
    0x09, 0x31,              //     Usage (Y)
    0x16, 0x01, 0x80,        //     Logical Minimum (-32767)
    0x26, 0xFF, 0x7F,        //     Logical Maximum (32767)
    0x75, 0x10,              //     Report Size (16)
    0x95, 0x02,              //     Report Count (2)
    0x81, 0x06,              //     Input (Data, Variable, Relative)
    0x09, 0x38,              //     Usage (Wheel)
    0x15, 0x81,              //     Logical Minimum (-127)
    0x25, 0x7F,              //     Logical Maximum (127)
    0x75, 0x08,              //     Report Size (8)
    0x95, 0x01,              //     Report Count (1)
    0x81, 0x06,              //     Input (Data, Variable, Relative)
    0xC0,                    //   End Collection
    0xC0,                    // End Collection
});

inline constexpr auto kSystemControlCollection = std::to_array<std::uint8_t>({
    0x05, 0x01,  // Usage Page (Generic Desktop)
    0x09, 0x80,  // Usage (System Control)
    0xA1, 0x01,  // Collection (Application)
    0x85, 0x02,  //   Report ID (2)
    0x19, 0x81,  //   Usage Minimum (System Power Down)
    0x29, 0x83,  //   Usage Maximum (System Wake Up)
    0x15, 0x00,  //   Logical Minimum (0)
    0x25, 0x01,  //   Logical Maximum (1)
    0x75, 0x01,  //   Report Size (1)
    0x95, 0x03,  //   Report Count (3)
    0x81, 0x02,  //   Input (Data, Variable, Absolute)
    0x95, 0x05,  //   Report Count (5)
    0x81, 0x01,  //   Input (Constant)
    0xC0,        // End Collection
});

// Device notifications travel as one 16-bit consumer usage (0x0401 ... 0x11FF),
// so the array must reach past the usual consumer range.
inline constexpr auto kConsumerCollection = std::to_array<std::uint8_t>({
    0x05, 0x0C,        // Usage Page (Consumer)
    0x09, 0x01,        // Usage (Consumer Control)
    0xA1, 0x01,        // Collection (Application)
    0x85, kEventReportId,
    0x19, 0x00,        //   Usage Minimum (0)
    0x2A, 0xFF, 0x1F,  //   Usage Maximum (0x1FFF)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x1F,  //   Logical Maximum (0x1FFF)
    0x75, 0x10,        //   Report Size (16)
    0x95, 0x01,        //   Report Count (1)
    0x81, 0x00,        //   Input (Data, Array, Absolute)
    0xC0,              // End Collection
});

// 63 data bytes each way: with the report id the command frame is 64 bytes.
inline constexpr auto kVendorCommandCollection = std::to_array<std::uint8_t>({
    0x06, 0x1C, 0xFF,  // Usage Page (Vendor 0xFF1C)
    0x09, 0x92,        // Usage (0x92)
    0xA1, 0x01,        // Collection (Application)
    0x85, kCommandReportId,
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x3F,        //   Report Count (63)
    0x09, 0x01,        //   Usage (0x01)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0x09, 0x02,        //   Usage (0x02)
    0x91, 0x02,        //   Output (Data, Variable, Absolute)
    0xC0,              // End Collection
});

}  // namespace descriptor_detail

// Keyboards, their receivers and the mouse pad.
inline constexpr auto kKeyboardInterfaceDescriptor = descriptor_detail::Concat(
    descriptor_detail::kKeyboardCollection, descriptor_detail::kSystemControlCollection,
    descriptor_detail::kConsumerCollection, descriptor_detail::kVendorCommandCollection);

// The mouse and its receiver.
inline constexpr auto kMouseInterfaceDescriptor = descriptor_detail::Concat(
    descriptor_detail::kMouseCollection, descriptor_detail::kSystemControlCollection,
    descriptor_detail::kConsumerCollection, descriptor_detail::kVendorCommandCollection);

// The headset's HID interface is a single consumer-control collection; the
// command frames and the 17-byte light reports share it with the buttons.
inline constexpr auto kHeadsetInterfaceDescriptor = std::to_array<std::uint8_t>({
    0x05, 0x0C,        // Usage Page (Consumer)
    0x09, 0x01,        // Usage (Consumer Control)
    0xA1, 0x01,        // Collection (Application)
    0x85, kHeadsetEventReportId,
    0x19, 0x00,        //   Usage Minimum (0)
    0x2A, 0xFF, 0x1F,  //   Usage Maximum (0x1FFF)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x1F,  //   Logical Maximum (0x1FFF)
    0x75, 0x10,        //   Report Size (16)
    0x95, 0x01,        //   Report Count (1)
    0x81, 0x00,        //   Input (Data, Array, Absolute)
    0x85, kCommandReportId,
    0x06, 0x1C, 0xFF,  //   Usage Page (Vendor 0xFF1C)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x3F,        //   Report Count (63)
    0x09, 0x01,        //   Usage (0x01)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0x09, 0x02,        //   Usage (0x02)
    0x91, 0x02,        //   Output (Data, Variable, Absolute)
    0x85, kHeadsetLightReportId,
    0x95, 0x10,        //   Report Count (16)
    0x09, 0x03,        //   Usage (0x03)
    0x91, 0x02,        //   Output (Data, Variable, Absolute)
    0xC0,              // End Collection
});

}  // namespace brontal::sim
