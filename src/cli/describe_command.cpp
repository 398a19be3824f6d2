#include <algorithm>
#include <cctype>
#include <charconv>
#include <ostream>
#include <sstream>

#include "cli/brontalctl.h"
#include "cli/collection_json.h"
#include "cli/commands.h"
#include "cli/json_output.h"
#include "device_access/report_descriptor.h"
#include "support/hex_text.h"
#include "support/safe_file.h"

namespace brontal {
namespace {

// A report descriptor has at most 4096 bytes (the kernel's limit); as text
// such as "0x05, " that is 24 KiB.
constexpr std::size_t kLargestDescriptorFile = 64u << 10;

bool LooksLikeHexText(const std::string& data) {
  return !data.empty() && std::all_of(data.begin(), data.end(), [](unsigned char c) {
    return std::isxdigit(c) || std::isspace(c) || c == ',' || c == 'x' || c == 'X';
  });
}

// Bytes as "05 01 09 06", "0x05, 0x01" or "05010906".
bool ParseHexText(const std::string& text, std::vector<std::uint8_t>& bytes, std::string& error) {
  std::string normalized = text;
  std::replace(normalized.begin(), normalized.end(), ',', ' ');
  std::istringstream in(normalized);
  std::string token;
  while (in >> token) {
    std::string digits = token;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) digits = digits.substr(2);
    const bool all_hex = std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isxdigit(c); });
    if (!all_hex || digits.size() % 2 != 0) {
      error = "not hexadecimal bytes: '" + token + "'";
      return false;
    }
    for (std::size_t i = 0; i < digits.size(); i += 2) {
      std::uint8_t byte = 0;
      std::from_chars(digits.data() + i, digits.data() + i + 2, byte, 16);  // two hex digits, checked above
      bytes.push_back(byte);
    }
  }
  return true;
}

std::string IdList(const std::vector<std::uint8_t>& ids) {
  std::string text;
  for (std::uint8_t id : ids) text += (text.empty() ? "" : ",") + std::to_string(id);
  return text;
}

}  // namespace

int DescribeCommand(CommandArgs args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    err << "brontalctl: describe needs a FILE (see brontalctl --help)\n";
    return kExitUsage;
  }
  const std::string file(args.front());
  bool json;
  if (!ParseJsonOption(args.subspan(1), "describe", json, err)) return kExitUsage;

  std::string data, error;
  if (!ReadRegularFile(file, kLargestDescriptorFile, data, error)) {
    err << "brontalctl: cannot read " << file << ": " << error << '\n';
    return kExitUsage;
  }
  std::vector<std::uint8_t> bytes;
  if (LooksLikeHexText(data)) {
    if (!ParseHexText(data, bytes, error)) {
      err << "brontalctl: " << file << ": " << error << '\n';
      return kExitUsage;
    }
  } else {
    bytes.assign(data.begin(), data.end());
  }

  ReportDescriptor descriptor;
  if (!ParseReportDescriptor(bytes, descriptor, error)) {
    err << "brontalctl: " << file << ": malformed report descriptor: " << error << '\n';
    return kExitUsage;
  }
  Json::Value list(Json::arrayValue);
  for (std::size_t i = 0; i < descriptor.collections.size(); ++i) {
    const TopLevelCollection& c = descriptor.collections[i];
    if (json) {
      Json::Value v = CollectionJson(c);
      v["collection"] = static_cast<Json::UInt>(i + 1);
      v["report_ids"] = ReportIdsJson(c);
      list.append(v);
      continue;
    }
    out << "collection " << i + 1 << "  usage " << HexPair(c.usage_page, c.usage);
    for (std::size_t t = 0; t < kReportTypeCount; ++t) {
      out << "  " << ReportTypeName(static_cast<ReportType>(t)) << ' ' << c.report_byte_length[t];
      if (!c.report_ids[t].empty()) out << " (ids " << IdList(c.report_ids[t]) << ')';
    }
    out << '\n';
  }
  if (json) WriteJson(out, list);
  return kExitOk;
}

}  // namespace brontal
