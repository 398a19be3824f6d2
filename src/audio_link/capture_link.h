#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

// What brontal-driver and the audio capture program, brontal-audio, say to
// each other over the local message bus. brontal-driver sends the capture
// window the registered command message (kAudioCaptureCommandName) with a
// command in wParam, and copy data of kind kStyleColourKind; brontal-audio
// sends the main window ("Brontal Driver") copy data of kinds kSpectrumKind
// and kColourBlockKind. Every payload travels at its exact size, numbers
// little-endian; anything else is refused whole.
namespace brontal::audio_link {

// The capture program's window on the bus.
inline constexpr std::string_view kCaptureWindowName = "Brontal DriverAUDIORECORD";
// The capture program holds an exclusive lock on this file in the bus folder
// while it runs: the driver tells from it whether one runs.
inline constexpr std::string_view kCaptureLockFileName = "Brontal DriverAudioRecord.lock";

// wParam of the command message. The driver greets a (re)started capture
// program with kHello (lParam: the driver's process id), kReset, kReady, and
// says goodbye with kCaptureOff, kGoodbye, kQuit. Between them it switches
// the capture on while a device shows the sound and off when none does: the
// program captures nothing until told.
enum class CaptureCommand : std::uint64_t {
  kHello = 0,
  kReady = 1,
  kCaptureOff = 2,
  kReset = 3,
  kGoodbye = 4,
  kQuit = 5,
  kCaptureOn = 6,
};
std::optional<CaptureCommand> CaptureCommandOf(std::uint64_t wparam);

// A spectrum frame: 500 signed 32-bit magnitudes, low frequencies first.
// Their sign alternates from frame to frame, so the driver's differences of
// consecutive frames (band_levels.h) show how loud a band is.
inline constexpr std::uint64_t kSpectrumKind = 1;
inline constexpr std::size_t kSpectrumValues = 500;
inline constexpr std::size_t kSpectrumBytes = kSpectrumValues * 4;
using Spectrum = std::array<std::int32_t, kSpectrumValues>;

// Six bytes for the keyboards' sound colour mode: red, green and blue of the
// style colour at the sound's loudness, then the loudest band (0..24), the
// loudness (0..255) and 0.
inline constexpr std::uint64_t kColourBlockKind = 2;
inline constexpr std::size_t kColourBlockBytes = 6;
using ColourBlock = std::array<std::uint8_t, kColourBlockBytes>;

// The selected style's colour levels (0..9 each) as three 32-bit values, then
// 28 bytes of zeros.
inline constexpr std::uint64_t kStyleColourKind = 10;
inline constexpr std::size_t kStyleColourBytes = 40;
struct StyleColour {
  std::int32_t red = 0, green = 0, blue = 0;
  bool operator==(const StyleColour&) const = default;
};

std::vector<std::uint8_t> EncodeSpectrum(const Spectrum& spectrum);
std::optional<Spectrum> DecodeSpectrum(std::span<const std::uint8_t> payload);
std::vector<std::uint8_t> EncodeColourBlock(const ColourBlock& block);
std::optional<ColourBlock> DecodeColourBlock(std::span<const std::uint8_t> payload);
std::vector<std::uint8_t> EncodeStyleColour(const StyleColour& colour);
std::optional<StyleColour> DecodeStyleColour(std::span<const std::uint8_t> payload);

}  // namespace brontal::audio_link
