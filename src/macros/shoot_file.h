#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "macros/macro_event.h"
#include "macros/shoot_pattern.h"

// The mouse's recoil patterns as the device folder keeps them: one file per
// gun, "ShootData_" + gun + ".Shoot", a document whose "Events" holds the
// pattern's macro events ("Delay" as a number). Members other than "Events",
// and events beyond the shots the panel edits, are left as they are. The
// factory copies of the same names lie in the default-data folder.
namespace brontal {

std::string ShootFileName(std::size_t gun);

// One shot b of a pattern, events 6b..6b+5: a left click, a pull, and the same
// pull of 0 (which the mouse needs to end the movement).
struct Shot {
  std::uint8_t x = 0;  // horizontal pull in counts
  bool left = false;   // else to the right
  std::uint8_t y = 0;  // vertical pull in counts
  bool up = false;     // else down
  // Milliseconds after the pull, before the next shot, as the file holds it
  // (the mouse plays the low 16 bits).
  std::int64_t pause = 0;

  bool operator==(const Shot&) const = default;
};

std::array<MacroEvent, kShotEvents> ShotEvents(const Shot& shot);

// How an import ended. `problem` follows the file's name ("is not a shoot
// file: ..."); `left_out` counts the events past what the mouse holds.
struct ShootImport {
  bool imported = false;
  std::size_t left_out = 0;
  std::string problem;
};

// No shoot file is near this (a full pattern is under 20 KiB).
inline constexpr std::size_t kLargestShootImport = 1u << 20;

class ShootFiles {
 public:
  ShootFiles(std::filesystem::path device_folder, std::filesystem::path default_data_folder)
      : folder_(std::move(device_folder)), factory_folder_(std::move(default_data_folder)) {}

  const std::filesystem::path& Folder() const { return folder_; }
  std::filesystem::path Path(std::size_t gun) const { return folder_ / ShootFileName(gun); }

  // Each gun whose file is not JSON gets the factory copy; a file with
  // contents is kept aside first, and stays when it cannot be.
  void SetUp() const;

  // A shot the file does not hold (missing, short or not JSON) reads as zeros.
  Shot ReadShot(std::size_t gun, std::size_t shot) const;
  // Writes the shot's six events, first lengthening a shorter pattern with
  // shots of zero. False for a shot past kShotCount or a failed write.
  bool StoreShot(std::size_t gun, std::size_t shot, const Shot& value) const;

  // The factory copy over the gun's file; false when there is none or it
  // could not be written.
  bool Reset(std::size_t gun) const;

  // The source, as it is, over the gun's file: refused when it is larger than
  // kLargestShootImport or is not a document whose "Events" are all
  // well-formed events. A pattern longer than LargestShootPattern(memory_bytes)
  // is written cut to that length.
  ShootImport Import(std::size_t gun, const std::filesystem::path& source, std::size_t memory_bytes) const;
  bool Export(std::size_t gun, const std::filesystem::path& target) const;

  // The four patterns as the mouse receives them.
  ShootPatterns Patterns() const;

 private:
  std::filesystem::path folder_;
  std::filesystem::path factory_folder_;
};

}  // namespace brontal
