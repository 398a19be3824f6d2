#pragma once

#include <filesystem>

#include "device_access/hid_backend.h"

namespace brontal {

// The simulated bus of a running brontal-sim daemon: one node per NAME.sock /
// NAME.node pair in its socket folder (BRONTAL_HID=sim:FOLDER).
class SimulatedDirBackend final : public HidBackend {
 public:
  explicit SimulatedDirBackend(std::filesystem::path folder) : folder_(std::move(folder)) {}

  bool Enumerate(std::vector<HidNodeInfo>& nodes) override;
  bool Describe(std::string_view node, HidNodeInfo& info) override;
  HidOpenResult Open(std::string_view node, std::string_view instance, bool read, bool write, UniqueFd& fd) override;
  bool IsPresent(std::string_view node, std::string_view instance) override;

 private:
  // The folder of the nodes: brontal-sim serve makes them in a private
  // subfolder of a DIR it did not make itself.
  std::filesystem::path Bus() const;
  // NAME of a node of this folder; empty for any other node.
  std::string NameOf(std::string_view node) const;

  std::filesystem::path folder_;
};

}  // namespace brontal
