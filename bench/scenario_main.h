#pragma once

// The start of a scenario that drives the UI loop: the user's files in a
// scratch folder, Qt's application object, and the loop handed to `run`.
#include <QCoreApplication>
#include <cstdio>
#include <functional>

#include "scenario_support.h"
#include "ui/qt/qt_message_loop.h"

namespace brontal::bench {

inline int RunScenario(int argc, char** argv, const std::function<void(MessageLoop&)>& run) {
  ScratchUserFolders folders;
  if (!folders.made()) {
    std::fprintf(stderr, "no temporary folder for the user's files\n");
    return 1;
  }
  QCoreApplication application(argc, argv);
  QtMessageLoop loop;
  run(loop);
  return 0;
}

}  // namespace brontal::bench
