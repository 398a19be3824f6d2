// The evdev codes of the scan code table's keys, checked row by row against
// what the kernel's HID layer makes of each row's USB usage.
#include "input_capture/evdev_key_table.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <bit>
#include <map>
#include <set>

#include "macros/key_code_table.h"

namespace brontal {
namespace {

// The key codes the kernel's HID input layer (hid_keyboard in hid-input.c)
// gives the keyboard usages of the key code table's rows 0-112.
const std::map<std::uint8_t, std::uint16_t> kKernelKeyOfUsage = {
    {0x04, 30},  {0x05, 48},  {0x06, 46},  {0x07, 32},  {0x08, 18},  {0x09, 33},  {0x0A, 34},  {0x0B, 35},  {0x0C, 23},
    {0x0D, 36},  {0x0E, 37},  {0x0F, 38},  {0x10, 50},  {0x11, 49},  {0x12, 24},  {0x13, 25},  {0x14, 16},  {0x15, 19},
    {0x16, 31},  {0x17, 20},  {0x18, 22},  {0x19, 47},  {0x1A, 17},  {0x1B, 45},  {0x1C, 21},  {0x1D, 44},  {0x1E, 2},
    {0x1F, 3},   {0x20, 4},   {0x21, 5},   {0x22, 6},   {0x23, 7},   {0x24, 8},   {0x25, 9},   {0x26, 10},  {0x27, 11},
    {0x28, 28},  {0x29, 1},   {0x2A, 14},  {0x2B, 15},  {0x2C, 57},  {0x2D, 12},  {0x2E, 13},  {0x2F, 26},  {0x30, 27},
    {0x31, 43},  {0x33, 39},  {0x34, 40},  {0x35, 41},  {0x36, 51},  {0x37, 52},  {0x38, 53},  {0x39, 58},  {0x3A, 59},
    {0x3B, 60},  {0x3C, 61},  {0x3D, 62},  {0x3E, 63},  {0x3F, 64},  {0x40, 65},  {0x41, 66},  {0x42, 67},  {0x43, 68},
    {0x44, 87},  {0x45, 88},  {0x46, 99},  {0x47, 70},  {0x48, 119}, {0x49, 110}, {0x4A, 102}, {0x4B, 104}, {0x4C, 111},
    {0x4D, 107}, {0x4E, 109}, {0x4F, 106}, {0x50, 105}, {0x51, 108}, {0x52, 103}, {0x53, 69},  {0x54, 98},  {0x55, 55},
    {0x56, 74},  {0x57, 78},  {0x58, 96},  {0x59, 79},  {0x5A, 80},  {0x5B, 81},  {0x5C, 75},  {0x5D, 76},  {0x5E, 77},
    {0x5F, 71},  {0x60, 72},  {0x61, 73},  {0x62, 82},  {0x63, 83},  {0x64, 86},  {0x65, 127}, {0x85, 121}, {0x87, 89},
    {0x88, 93},  {0x89, 124}, {0x8A, 92},  {0x8B, 94},  {0x90, 122}, {0x91, 123}, {0xE0, 29},  {0xE1, 42},  {0xE2, 56},
    {0xE3, 125}, {0xE4, 97},  {0xE5, 54},  {0xE6, 100}, {0xE7, 126},
};

// A modifier row carries its bit, whose usage is 0xE0 plus the bit's number.
std::uint8_t UsageOfRow(std::size_t row) {
  const KeyAction& action = kKeyCodeTable[row].action;
  return action[2] != 0 ? action[2] : static_cast<std::uint8_t>(0xE0 + std::countr_zero(action[1]));
}

TEST(EvdevKeyTable, EveryRowHoldsTheCodeAUsbKeyboardsKeyArrivesAs) {
  for (std::size_t row = 0; row < kScanCodeRowCount; ++row) {
    SCOPED_TRACE(kKeyCodeTable[row].name_key);
    const auto kernel = kKernelKeyOfUsage.find(UsageOfRow(row));
    ASSERT_NE(kernel, kKernelKeyOfUsage.end());
    EXPECT_EQ(kEvdevKeyCodes[row], kernel->second);
  }
}

// Distinct codes, and each leads back to its own row: a duplicate would give
// two keys one scan code.
TEST(EvdevKeyTable, EveryRowsCodeGivesThatRowsScanCode) {
  std::set<std::uint16_t> seen;
  for (std::size_t row = 0; row < kScanCodeRowCount; ++row) {
    SCOPED_TRACE(kKeyCodeTable[row].name_key);
    EXPECT_TRUE(seen.insert(kEvdevKeyCodes[row]).second);
    const std::optional<ScanCode> scan = ScanCodeForEvdevKey(kEvdevKeyCodes[row]);
    ASSERT_TRUE(scan.has_value());
    EXPECT_EQ(KeyRowForScanCode(scan->code, scan->extended), row);
  }
}

TEST(EvdevKeyTable, KeysTheTableDoesNotHoldHaveNoScanCode) {
  for (const std::uint32_t code : {0u, unsigned{KEY_F13}, unsigned{KEY_MUTE}, unsigned{KEY_PLAYPAUSE},
                                   unsigned{KEY_POWER}, unsigned{BTN_LEFT}, 0x10000u})
    EXPECT_FALSE(ScanCodeForEvdevKey(code).has_value()) << code;
}

}  // namespace
}  // namespace brontal
