#include "macros/macro_image.h"

#include <algorithm>
#include <limits>

#include "macros/macro_file.h"

namespace brontal {
namespace {

constexpr std::uint8_t kDownBit = 0x80;
constexpr std::uint8_t kTypeBits = 0x7F;

void PutWord(std::vector<std::uint8_t>& image, std::size_t at, std::size_t value) {
  image[at] = static_cast<std::uint8_t>(value & 0xFF);
  image[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

}  // namespace

std::optional<std::uint8_t> MacroSlots::Take(std::uint8_t macro_index) {
  if (macro_index >= macro_count_) return std::nullopt;
  auto slot = std::find(macros_.begin(), macros_.end(), macro_index);
  if (slot == macros_.end()) slot = macros_.insert(macros_.end(), macro_index);
  return static_cast<std::uint8_t>(slot - macros_.begin());
}

std::vector<std::vector<MacroEvent>> LoadSlotMacros(const std::filesystem::path& folder,
                                                    std::span<const std::string> guids) {
  std::vector<std::vector<MacroEvent>> macros;
  macros.reserve(guids.size());
  for (const std::string& guid : guids) macros.push_back(LoadMacroEvents(folder, guid));
  return macros;
}

std::array<std::uint8_t, kMacroImageEventSize> EncodeMacroEvent(const MacroEvent& event) {
  const auto type = static_cast<std::uint8_t>(event.type & kTypeBits);
  // The device's delay has 16 bits; a longer one in a file plays its low bits.
  const auto delay = static_cast<std::uint16_t>(event.delay);
  return {static_cast<std::uint8_t>(delay & 0xFF), static_cast<std::uint8_t>(delay >> 8),
          static_cast<std::uint8_t>(event.down ? type | kDownBit : type), event.button};
}

std::size_t MacroImageSize(std::span<const std::vector<MacroEvent>> macros) {
  std::size_t size = kMacroImageHeaderSize;
  for (const std::vector<MacroEvent>& events : macros)
    size += kMacroImageOffsetSize + kMacroRecordHeaderSize + events.size() * kMacroImageEventSize;
  return size;
}

MacroImageBuild BuildMacroImage(std::span<const std::vector<MacroEvent>> macros, const MacroMemoryLimits& limits) {
  const std::size_t size = MacroImageSize(macros);
  const std::size_t capacity = std::min<std::size_t>(limits.capacity_bytes, std::numeric_limits<std::uint16_t>::max());
  if (size > capacity) return MacroImageTooLarge{size, capacity};
  if (limits.longest_macro) {
    const auto longer = [&](const std::vector<MacroEvent>& events) { return events.size() > *limits.longest_macro; };
    if (const auto found = std::ranges::find_if(macros, longer); found != macros.end())
      return MacroTooLong{static_cast<std::size_t>(found - macros.begin()), found->size()};
  }

  std::vector<std::uint8_t> image(size, 0);
  PutWord(image, 0, kMacroImageMagic);
  PutWord(image, 2, size);
  PutWord(image, 4, macros.size());
  std::size_t record = kMacroImageHeaderSize + kMacroImageOffsetSize * macros.size();
  for (std::size_t slot = 0; slot < macros.size(); ++slot) {
    PutWord(image, kMacroImageHeaderSize + kMacroImageOffsetSize * slot, record);
    PutWord(image, record, macros[slot].size());
    record += kMacroRecordHeaderSize;
    for (const MacroEvent& event : macros[slot]) {
      const auto bytes = EncodeMacroEvent(event);
      std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(record));
      record += kMacroImageEventSize;
    }
  }
  return image;
}

}  // namespace brontal
