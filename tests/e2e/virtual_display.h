#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "e2e/child_process.h"

namespace brontal::e2e {

// Whether an executable of that name is on PATH.
bool OnPath(const std::string& program);

// An Xvfb server on a display number it picks itself, ready once made.
class VirtualDisplay {
 public:
  // Nothing, with the reason, when Xvfb is missing or did not come up.
  // `server_args` go to Xvfb (a screen size, say); its output goes to `log`.
  static std::unique_ptr<VirtualDisplay> Start(const std::vector<std::string>& server_args,
                                               const std::filesystem::path& log, std::string& error);

  // ":N", for DISPLAY.
  const std::string& name() const { return name_; }

  // Runs xdotool on this display; its exit status (-1 when it overran).
  int XDoTool(const std::vector<std::string>& words) const;

 private:
  VirtualDisplay(std::unique_ptr<ChildProcess> server, std::string name)
      : server_(std::move(server)), name_(std::move(name)) {}

  std::unique_ptr<ChildProcess> server_;
  std::string name_;
};

}  // namespace brontal::e2e
