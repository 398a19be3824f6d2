// brontal-audio: the desktop's sound as spectra for audio-reactive lighting.
#include <QCoreApplication>
#include <iostream>
#include <memory>
#include <string_view>
#include <vector>

#include "audio_capture/band_printout.h"
#include "audio_program/audio_options.h"
#include "audio_program/serve_driver.h"
#include "support/standard_output.h"

namespace {

using namespace brontal;

int Run(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  audio_program::AudioOptions options;
  std::string error;
  if (!audio_program::ParseAudioOptions(args, options, error)) {
    std::cerr << "brontal-audio: " << error << " (see brontal-audio --help)\n";
    return 2;
  }
  if (options.help) {
    std::cout << audio_program::AudioHelpText();
    return 0;
  }
  audio_capture::SoundInput input;
  input.loop = options.loop;
  if (options.input) {
    auto sound = audio_capture::ReadWavFile(*options.input, error);
    if (!sound) {
      std::cerr << "brontal-audio: " << error << '\n';
      return 1;
    }
    input.file = std::make_shared<const audio_capture::WavSound>(std::move(*sound));
  }
  if (options.print) {
    audio_capture::PrintoutOptions printout;
    printout.json = options.json;
    if (options.limit) printout.limit = *options.limit;
    return audio_capture::RunBandPrintout(input, printout, std::cout, std::cerr, "brontal-audio");
  }
  // The message loop runs on Qt's event loop.
  QCoreApplication application(argc, argv);
  return audio_program::ServeDriver(input, options.limit);
}

}  // namespace

int main(int argc, char** argv) { return brontal::StatusAfterOutput(Run(argc, argv), "brontal-audio"); }
