#pragma once

#include <chrono>
#include <string>

#include "profiles/data_folders.h"

// The date of the last update check, "updatetime.config" in the application
// folder: {"updatelasttime": {"value": "2019-5-7"}}.
namespace brontal {

// The stored text; empty when there is none.
std::string ReadUpdateCheckDate(const AppFolders& folders = AppFolders::Installed());
// Stores the date as year-month-day without leading zeros.
bool WriteUpdateCheckDate(const std::chrono::year_month_day& date,
                          const AppFolders& folders = AppFolders::Installed());

}  // namespace brontal
