#include "cli/update_command.h"

#include <strings.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "cli/brontalctl.h"
#include "cli/json_output.h"
#include "cli/listing_failure.h"
#include "control/command_line.h"
#include "update/attached_products.h"
#include "update/package_handover.h"
#include "update/update_check.h"
#include "update/update_service.h"

namespace brontal::update_command {
namespace {

constexpr Usage kUsages[] = {
    {"update check [--json]",
     "ask the update service about the program and the attached devices: installed, offered, state"},
    {"update download ITEM [--to DIR]",
     "download ITEM's offered package (ITEM as 'update check' names it); prints its path and SHA-256, never runs it"},
};
constexpr OptionSpec kOptions[] = {{"--json", false}, {"--to", true}};

const char* StateWord(RowState state) {
  switch (state) {
    case RowState::kOffered:
    case RowState::kOfferedAgain: return "offered";
    case RowState::kCurrent: return "current";
    default: return "none";
  }
}

struct Checked {
  std::vector<UpdateItem> items;
  UpdateCheckOutcome outcome;
};

// False, with the reason said, when nothing could be asked.
bool CheckAll(Checked& checked, std::ostream& err) {
  const std::optional<std::vector<ConnectedProduct>> products = AttachedProducts();
  if (!products) {
    err << "brontalctl: update: " << ListingFailure() << '\n';
    return false;
  }
  checked.items = UpdateItemsFor(BRONTAL_VERSION, *products);
  HttpClient client(UpdateClientSettings());
  checked.outcome = CheckForUpdates(client, UpdateServiceUrl(), checked.items);
  if (checked.outcome.state == PageState::kNoService) {
    err << "brontalctl: update: the update service at " << UpdateServiceUrl() << " cannot be reached\n";
    return false;
  }
  RecordCheckDate(checked.outcome);
  return true;
}

int Check(const ParsedArgs& args, std::ostream& out, std::ostream& err) {
  if (!args.positional.empty() || args.Value("--to")) {
    err << "brontalctl: update check takes no arguments (" << kUsages[0].usage << ")\n";
    return kExitUsage;
  }
  Checked checked;
  if (!CheckAll(checked, err)) return kExitFailure;
  Json::Value list(Json::arrayValue);
  for (const UpdateRow& row : checked.outcome.rows) {
    if (args.Has("--json")) {
      Json::Value v;
      v["item"] = row.name;
      v["installed"] = row.installed_text;
      v["offered"] = row.offered_text;
      v["state"] = static_cast<int>(row.state);
      v["status"] = StateWord(row.state);
      v["package_url"] = row.package_url;
      list.append(v);
    } else {
      out << row.name << "  installed " << row.installed_text;
      if (!row.offered_text.empty()) out << "  offered " << row.offered_text;
      out << "  " << StateWord(row.state) << '\n';
    }
  }
  if (args.Has("--json")) WriteJson(out, list);
  return kExitOk;
}

int Download(const ParsedArgs& args, std::ostream& out, std::ostream& err) {
  if (args.positional.size() != 1 || args.Has("--json")) {
    err << "brontalctl: update download needs one ITEM (" << kUsages[1].usage << ")\n";
    return kExitUsage;
  }
  const std::string& item = args.positional.front();
  std::filesystem::path folder;
  std::string problem;
  if (const auto to = args.Value("--to")) {
    folder = *to;
    if (!std::filesystem::is_directory(folder)) {
      err << "brontalctl: update download: " << folder.string() << " is no folder\n";
      return kExitUsage;
    }
  }
  Checked checked;
  if (!CheckAll(checked, err)) return kExitFailure;
  const auto row = std::ranges::find_if(
      checked.outcome.rows, [&](const UpdateRow& r) { return strcasecmp(r.name.c_str(), item.c_str()) == 0; });
  if (row == checked.outcome.rows.end()) {
    err << "brontalctl: update download: no item '" << item << "' (see brontalctl update check)\n";
    return kExitFailure;
  }
  if (row->state != RowState::kOffered) {
    err << "brontalctl: update download: nothing newer is offered for " << row->name << '\n';
    return kExitFailure;
  }
  if (folder.empty()) {
    const auto prepared = PrepareUpdateDataFolder(problem);
    if (!prepared) {
      err << "brontalctl: update download: " << problem << '\n';
      return kExitFailure;
    }
    folder = *prepared;
  }
  HttpClient client(UpdateClientSettings());
  const PackageFetch fetch = FetchPackage(
      client, row->package_url, row->package_name, folder, [](std::uint64_t, std::uint64_t, int) {}, 0);
  if (!fetch.package) {
    err << "brontalctl: update download: " << fetch.problem << '\n';
    return kExitFailure;
  }
  out << "path    " << fetch.package->path.string() << "\nsize    " << fetch.package->size << " bytes\nsha256  "
      << fetch.package->sha256 << '\n';
  return kExitOk;
}

}  // namespace

std::span<const Usage> Usages() { return kUsages; }

int Run(CommandArgs args, std::ostream& out, std::ostream& err) {
  ParsedArgs parsed;
  std::string error;
  if (!ParseArgs(args, kOptions, parsed, error)) {
    err << "brontalctl: update: " << error << '\n';
    return kExitUsage;
  }
  const std::string sub = parsed.positional.empty() ? "" : parsed.positional.front();
  if (!parsed.positional.empty()) parsed.positional.erase(parsed.positional.begin());
  const Usage* usage = sub == "check" ? &kUsages[0] : sub == "download" ? &kUsages[1] : nullptr;
  if (parsed.help) {
    if (usage) {
      out << "Usage: brontalctl " << usage->usage << "\n\n" << usage->summary << ".\n";
    } else {
      out << "Usage: brontalctl update SUBCOMMAND [OPTIONS]\n\n";
      for (const Usage& u : kUsages) out << "  " << u.usage << "\n      " << u.summary << ".\n";
    }
    out << "\nBRONTAL_UPDATE_URL replaces the service's address; SSL_CERT_FILE names the authorities to trust.\n";
    return kExitOk;
  }
  if (!usage) {
    err << "brontalctl: update needs 'check' or 'download' (see brontalctl update --help)\n";
    return kExitUsage;
  }
  return sub == "check" ? Check(parsed, out, err) : Download(parsed, out, err);
}

}  // namespace brontal::update_command
