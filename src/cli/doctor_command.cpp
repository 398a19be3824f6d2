#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/bus/bus_socket.h"
#include "cli/brontalctl.h"
#include "cli/commands.h"
#include "cli/json_output.h"
#include "cli/listing_failure.h"
#include "cli/product_kind.h"
#include "cli/udev_rules_text.h"
#include "control/control_socket.h"
#include "device_access/hid_device.h"
#include "device_access/hid_path.h"
#include "devices/device_lock.h"
#include "devices/interface_table.h"
#include "support/hex_text.h"
#include "support/safe_file.h"
#include "support/user_folders.h"

namespace brontal {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kRuleFileName = "70-brontal-driver.rules";
// Ours is a few KiB; more is not a rule file worth comparing.
constexpr std::size_t kLargestRuleFile = 1u << 20;
// udev's own order: a file here hides one of the same name in a later folder.
constexpr std::array<std::string_view, 5> kRuleFolders = {"/etc/udev/rules.d", "/run/udev/rules.d",
                                                          "/usr/local/lib/udev/rules.d", "/usr/lib/udev/rules.d",
                                                          "/lib/udev/rules.d"};
// For systems that keep rules elsewhere, and for tests: DIR:DIR..., first wins.
constexpr const char* kRuleFoldersVariable = "BRONTAL_UDEV_RULES_DIRS";

constexpr std::string_view kReplug = "then re-plug the device";

struct Finding {
  bool ok;
  std::string text;
  std::vector<std::string> fixes;
};

std::vector<fs::path> RuleFolders() {
  std::vector<fs::path> folders;
  if (const char* value = std::getenv(kRuleFoldersVariable)) {
    std::istringstream list(value);
    std::string folder;
    while (std::getline(list, folder, ':'))
      if (!folder.empty()) folders.emplace_back(folder);
  }
  if (folders.empty()) folders.assign(kRuleFolders.begin(), kRuleFolders.end());
  return folders;
}

enum class RuleState { kMissing, kOutdated, kCurrent, kUnreadable };

const char* RuleStateName(RuleState state) {
  switch (state) {
    case RuleState::kMissing: return "missing";
    case RuleState::kOutdated: return "outdated";
    case RuleState::kCurrent: return "current";
    case RuleState::kUnreadable: return "unreadable";
  }
  return "missing";
}

struct RuleCheck {
  RuleState state = RuleState::kMissing;
  fs::path file;  // the one udev reads, when there is one
  std::string error;
};

RuleCheck CheckRule(const std::vector<fs::path>& folders) {
  for (const fs::path& folder : folders) {
    const fs::path file = folder / kRuleFileName;
    std::error_code ec;
    if (!fs::exists(file, ec)) continue;
    std::string content, error;
    if (!ReadRegularFile(file, kLargestRuleFile, content, error)) return {RuleState::kUnreadable, file, error};
    return {content == UdevRulesText() ? RuleState::kCurrent : RuleState::kOutdated, file, {}};
  }
  return {};
}

std::string InstallRuleFix(const std::vector<fs::path>& folders) {
  return "brontalctl udev-rules | sudo tee " + (folders.front() / kRuleFileName).string() +
         " && sudo udevadm control --reload && sudo udevadm trigger";
}

std::string JoinFolders(const std::vector<fs::path>& folders) {
  std::string text;
  for (const fs::path& folder : folders) text += (text.empty() ? "" : ", ") + folder.string();
  return text;
}

Finding RuleFinding(const RuleCheck& rule, const std::vector<fs::path>& folders) {
  switch (rule.state) {
    case RuleState::kCurrent: return {true, "udev rule current: " + rule.file.string(), {}};
    case RuleState::kMissing:
      return {false,
              "udev rule not installed (looked in " + JoinFolders(folders) + "; " + kRuleFoldersVariable +
                  "=DIR:DIR names others): without it only root may open the devices",
              {InstallRuleFix(folders), std::string(kReplug)}};
    case RuleState::kOutdated:
      return {false,
              "udev rule outdated: " + rule.file.string() +
                  " differs from 'brontalctl udev-rules' (products may be missing from it)",
              {InstallRuleFix(folders), std::string(kReplug)}};
    case RuleState::kUnreadable:
      return {false,
              "udev rule unreadable: " + rule.file.string() + ": " + rule.error,
              {InstallRuleFix(folders), std::string(kReplug)}};
  }
  return {false, "", {}};
}

enum class OpenOutcome { kOpened, kNotListed, kPermission, kBusy, kMissing, kFailed };

const char* OutcomeName(OpenOutcome outcome) {
  switch (outcome) {
    case OpenOutcome::kOpened: return "";
    case OpenOutcome::kPermission: return "permission";
    case OpenOutcome::kBusy: return "busy";
    case OpenOutcome::kNotListed:
    case OpenOutcome::kMissing: return "missing";
    case OpenOutcome::kFailed: return "failed";
  }
  return "failed";
}

struct CollectionCheck {
  const InterfaceRow* row;
  std::string path;  // empty when the device does not list the collection
  std::string node;
  OpenOutcome outcome = OpenOutcome::kOpened;
  std::string detail;  // the system's words for kFailed
};

// The backend folds every errno it does not expect into "failed"; a second
// open of a hidraw node tells busy from the rest.
void ClassifyByErrno(CollectionCheck& check) {
  const int fd = ::open(check.node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd >= 0) {
    ::close(fd);
    check.detail = "failed once, opened on a second try";
    return;
  }
  const int error = errno;
  if (error == EACCES || error == EPERM)
    check.outcome = OpenOutcome::kPermission;
  else if (error == EBUSY)
    check.outcome = OpenOutcome::kBusy;
  else if (error == ENOENT || error == ENODEV || error == ENXIO)
    check.outcome = OpenOutcome::kMissing;
  check.detail = std::strerror(error);
}

CollectionCheck CheckCollection(const InterfaceRow& row, const std::string& path) {
  CollectionCheck check{&row, path, {}, OpenOutcome::kOpened, {}};
  std::string instance;
  SplitHidPath(path, check.node, instance);
  CHidDevice device;
  if (device.Open(path, true, true, true, false)) return check;
  switch (device.LastOpenResult()) {
    case HidOpenResult::kOpened: break;
    case HidOpenResult::kPermissionDenied: check.outcome = OpenOutcome::kPermission; break;
    case HidOpenResult::kGone: check.outcome = OpenOutcome::kMissing; break;
    case HidOpenResult::kFailed:
      check.outcome = OpenOutcome::kFailed;
      if (!check.node.starts_with(kSimulatedNodePrefix)) ClassifyByErrno(check);
      break;
  }
  return check;
}

std::string ProductName(const InterfaceRow& row) {
  std::string name = HexPair(row.vendor_id, row.product_id) + " " + KindName(row.type);
  if (row.type == DeviceType::kHeadset || row.type == DeviceType::kMousePad) return name;
  return name + (IsReceiverType(row.type) ? " (receiver)" : " (cable)");
}

// "brontalctl (pid 4242)" for every process with a flock on a lock file of
// this product (on any bus: the lock's file name is the lock's own business).
std::vector<std::string> LockHolders(const InterfaceRow& product) {
  const std::string suffix = "-" + Hex4(product.vendor_id) + "-" + Hex4(product.product_id) + ".lock";
  std::vector<struct stat> files;
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(UserRuntimeFolder(), ec)) {
    const std::string name = entry.path().filename().string();
    struct stat st;
    if (name.starts_with("device-") && name.ends_with(suffix) && ::stat(entry.path().c_str(), &st) == 0)
      files.push_back(st);
  }
  std::vector<std::string> holders;
  std::ifstream locks("/proc/locks");
  std::string line;
  while (std::getline(locks, line)) {
    // "1: FLOCK  ADVISORY  WRITE 4242 fd:01:1835 0 EOF"; waiters carry "->" and hold nothing.
    std::istringstream words(line);
    std::string number, kind, mode, access, id;
    long pid = 0;
    if (!(words >> number >> kind >> mode >> access >> pid >> id) || kind != "FLOCK") continue;
    unsigned major_number = 0, minor_number = 0;
    unsigned long inode = 0;
    if (std::sscanf(id.c_str(), "%x:%x:%lu", &major_number, &minor_number, &inode) != 3) continue;
    for (const struct stat& st : files) {
      if (st.st_ino != inode || major(st.st_dev) != major_number || minor(st.st_dev) != minor_number) continue;
      std::string comm;
      std::getline(std::ifstream("/proc/" + std::to_string(pid) + "/comm"), comm);
      holders.push_back((comm.empty() ? "a program" : comm) + " (pid " + std::to_string(pid) + ")");
    }
  }
  return holders;
}

std::string JoinWords(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : ", ") + word;
  return text;
}

struct ProductCheck {
  const InterfaceRow* row;  // its first row in the table
  std::vector<CollectionCheck> collections;
  bool held = false;
  std::vector<std::string> holders;
};

ProductCheck CheckProduct(const InterfaceRow& first, const std::vector<std::string>& paths) {
  ProductCheck product{&first, {}, false, {}};
  for (const InterfaceRow& row : kInterfaceTable) {
    if (!IsRealProduct(row) || row.vendor_id != first.vendor_id || row.product_id != first.product_id) continue;
    bool listed = false;
    for (const std::string& path : paths) {
      if (ParseVendorId(path) != row.vendor_id || ParseProductId(path) != row.product_id ||
          ParseInterfaceNumber(path) != row.interface_number || ParseCollectionNumber(path) != row.collection_number)
        continue;
      listed = true;
      product.collections.push_back(CheckCollection(row, path));
    }
    if (!listed) product.collections.push_back({&row, {}, {}, OpenOutcome::kNotListed, {}});
  }
  // A receiver is locked under its keyboard's ids, as every program does.
  const InterfaceRow& owner = IsReceiverType(first.type) && first.paired ? kInterfaceTable[first.partner] : first;
  UniqueFd lock;
  product.held = LockDevice(owner.vendor_id, owner.product_id, lock) == DeviceLockResult::kInUse;
  lock.Reset();
  if (product.held) product.holders = LockHolders(owner);
  return product;
}

const char* RoleName(CollectionRole role) { return role == CollectionRole::kCommand ? "command" : "event"; }

std::vector<std::string> OpenFixes(const CollectionCheck& c, RuleState rule, const std::vector<fs::path>& folders) {
  switch (c.outcome) {
    case OpenOutcome::kOpened: return {};
    case OpenOutcome::kPermission:
      if (rule != RuleState::kCurrent) return {InstallRuleFix(folders), std::string(kReplug)};
      return {"sudo udevadm control --reload && sudo udevadm trigger", std::string(kReplug),
              "the rule gives access to the user of the local session in front of the machine, not to a remote "
              "login"};
    case OpenOutcome::kBusy: return {"sudo fuser -v " + c.node + "   # names the program that holds it"};
    case OpenOutcome::kNotListed: return {"re-plug the device", "brontalctl list   # shows what the device declares"};
    case OpenOutcome::kMissing: return {"plug the device in and run 'brontalctl doctor' again"};
    case OpenOutcome::kFailed: return {"re-plug the device"};
  }
  return {};
}

std::string OpenText(const CollectionCheck& c) {
  switch (c.outcome) {
    case OpenOutcome::kOpened: return "opens";
    case OpenOutcome::kNotListed: return "not found among the device's collections";
    case OpenOutcome::kPermission: return "cannot be opened: no permission";
    case OpenOutcome::kBusy: return "cannot be opened: another program holds it exclusively";
    case OpenOutcome::kMissing: return "cannot be opened: the device went away meanwhile";
    case OpenOutcome::kFailed: return "cannot be opened: " + (c.detail.empty() ? "failed" : c.detail);
  }
  return {};
}

Finding HolderFinding(const ProductCheck& p, const std::string& name, bool driver_runs) {
  const std::string by = p.holders.empty() ? "" : " (" + JoinWords(p.holders) + ")";
  if (!p.held) return {true, name + ": no other program holds it", {}};
  if (driver_runs)
    return {true,
            name + ": in use" + (by.empty() ? " (by brontal-driver)" : by) +
                "; brontal-driver runs, so device commands go through it",
            {}};
  return {false,
          name + ": in use by another program" + (by.empty() ? " (another brontalctl, or brontal-driver)" : by),
          {"wait for it to end, or end it; 'pgrep -a -u \"$USER\" brontal' lists the candidates"}};
}

Json::Value Strings(const std::vector<std::string>& words) {
  Json::Value list(Json::arrayValue);
  for (const std::string& word : words) list.append(word);
  return list;
}

}  // namespace

int DoctorCommand(CommandArgs args, std::ostream& out, std::ostream& err) {
  bool json;
  if (!ParseJsonOption(args, "doctor", json, err)) return kExitUsage;

  std::vector<Finding> findings;
  Json::Value report;

  const std::vector<fs::path> folders = RuleFolders();
  const RuleCheck rule = CheckRule(folders);
  findings.push_back(RuleFinding(rule, folders));
  Json::Value& rule_json = report["udev_rule"];
  rule_json["state"] = RuleStateName(rule.state);
  rule_json["file"] = rule.file.empty() ? Json::Value() : Json::Value(rule.file.string());
  rule_json["folders"] = Json::arrayValue;
  for (const fs::path& folder : folders) rule_json["folders"].append(folder.string());
  rule_json["fixes"] = Strings(findings.back().fixes);

  const fs::path socket = DeviceControlSocketPath();
  const bool driver_runs = ConnectTo(socket).valid();
  findings.push_back(
      driver_runs ? Finding{true, "brontal-driver runs (" + socket.string() + "): device commands go through it", {}}
                  : Finding{true, "brontal-driver does not run: brontalctl opens the devices itself", {}});
  report["brontal_driver"]["running"] = driver_runs;
  report["brontal_driver"]["socket"] = socket.string();

  CHidDevice scan;
  if (!scan.EnumerateInterfaces()) {
    err << "brontalctl: " << ListingFailure() << '\n';
    return kExitFailure;
  }
  std::vector<std::string> paths;
  while (auto path = scan.NextPath()) paths.push_back(std::move(*path));

  // Products in the order the bus lists them, each once.
  std::vector<const InterfaceRow*> present;
  for (const std::string& path : paths) {
    for (const InterfaceRow& row : kInterfaceTable) {
      if (!IsRealProduct(row) || row.vendor_id != ParseVendorId(path) || row.product_id != ParseProductId(path))
        continue;
      bool seen = false;
      for (const InterfaceRow* p : present)
        seen = seen || (p->vendor_id == row.vendor_id && p->product_id == row.product_id);
      if (!seen) present.push_back(&row);
      break;
    }
  }

  report["products"] = Json::arrayValue;
  if (present.empty())
    findings.push_back({false,
                        "no supported device found",
                        {"plug the device in; 'brontalctl list' shows every HID device this machine has"}});
  for (const InterfaceRow* first : present) {
    const ProductCheck p = CheckProduct(*first, paths);
    const std::string name = ProductName(*first);
    Json::Value product;
    product["vendor_id"] = first->vendor_id;
    product["product_id"] = first->product_id;
    product["name"] = name;
    product["collections"] = Json::arrayValue;
    std::vector<std::string> fixes;
    for (const CollectionCheck& c : p.collections) {
      Finding f{c.outcome == OpenOutcome::kOpened,
                name + ": " + RoleName(c.row->role) + " collection (interface " +
                    std::to_string(c.row->interface_number) + ", collection " +
                    std::to_string(c.row->collection_number) + ") " + OpenText(c) +
                    (c.path.empty() ? "" : ": " + c.path),
                OpenFixes(c, rule.state, folders)};
      Json::Value v;
      v["path"] = c.path.empty() ? Json::Value() : Json::Value(c.path);
      v["role"] = RoleName(c.row->role);
      v["interface"] = c.row->interface_number;
      v["collection"] = c.row->collection_number;
      v["openable"] = f.ok;
      if (!f.ok) v["reason"] = OutcomeName(c.outcome);
      if (!c.detail.empty()) v["detail"] = c.detail;
      product["collections"].append(v);
      for (const std::string& fix : f.fixes)
        if (std::find(fixes.begin(), fixes.end(), fix) == fixes.end()) fixes.push_back(fix);
      findings.push_back(std::move(f));
    }
    Finding holder = HolderFinding(p, name, driver_runs);
    Json::Value& holder_json = product["holder"];
    holder_json["held"] = p.held;
    holder_json["by"] = !p.held ? Json::Value() : driver_runs ? "brontal-driver" : "another program";
    holder_json["programs"] = Strings(p.holders);
    for (const std::string& fix : holder.fixes) fixes.push_back(fix);
    findings.push_back(std::move(holder));
    product["fixes"] = Strings(fixes);
    report["products"].append(product);
  }

  bool all_well = true;
  for (const Finding& f : findings) all_well = all_well && f.ok;
  if (json) {
    report["ok"] = all_well;
    Json::Value& list = report["findings"] = Json::arrayValue;
    for (const Finding& f : findings) {
      Json::Value v;
      v["ok"] = f.ok;
      v["text"] = f.text;
      v["fixes"] = Strings(f.fixes);
      list.append(v);
    }
    WriteJson(out, report);
  } else {
    // Every collection of every product may need the same fix: written out once.
    const std::vector<std::string>* previous = nullptr;
    for (const Finding& f : findings) {
      out << (f.ok ? "ok      " : "problem ") << f.text << '\n';
      if (previous && !f.fixes.empty() && f.fixes == *previous) {
        out << "        (the fix above)\n";
        continue;
      }
      for (const std::string& fix : f.fixes) out << "        " << fix << '\n';
      if (!f.fixes.empty()) previous = &f.fixes;
    }
  }
  return all_well ? kExitOk : kExitFailure;
}

}  // namespace brontal
