#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

namespace brontal {

// One brontalctl command: arguments after the command name; returns the exit status.
using CommandArgs = std::span<const std::string_view>;

int ListCommand(CommandArgs args, std::ostream& out, std::ostream& err);
int DescribeCommand(CommandArgs args, std::ostream& out, std::ostream& err);
int InfoCommand(CommandArgs args, std::ostream& out, std::ostream& err);
int MonitorCommand(CommandArgs args, std::ostream& out, std::ostream& err);
// Why a device does not work: access, the udev rule, other programs; each finding with its fix.
int DoctorCommand(CommandArgs args, std::ostream& out, std::ostream& err);

// The key function catalogue: category, action bytes and name of every row.
int ActionsCommand(CommandArgs args, std::ostream& out, std::ostream& err);

// Runs a keyboard model's host animation without a device and prints its colours.
int LightingPreviewCommand(CommandArgs args, std::ostream& out, std::ostream& err);

// Parses "--json" as the only option; false (after a usage message) on anything else.
bool ParseJsonOption(CommandArgs args, std::string_view command, bool& json, std::ostream& err);

}  // namespace brontal
