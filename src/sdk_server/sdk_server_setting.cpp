#include "sdk_server/sdk_server_setting.h"

#include "profiles/user_value_store.h"

namespace brontal::sdk {
namespace {

constexpr std::string_view kName = "SdkServer";

}  // namespace

bool ReadSdkServerSwitch(const AppFolders& folders) { return ReadUserValue(kName, folders).value_or(0) != 0; }

bool WriteSdkServerSwitch(bool on, const AppFolders& folders) { return WriteUserValue(kName, on ? 1 : 0, folders); }

}  // namespace brontal::sdk
