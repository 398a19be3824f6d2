#pragma once

#include "profiles/scoped_environment.h"

namespace brontal::test {

// Proxy variables of the machine running the tests must not reroute them.
class WithoutProxyVariables {
 private:
  testing::ScopedEnvironment http_proxy_{"http_proxy", ""};
  testing::ScopedEnvironment https_proxy_{"https_proxy", ""};
  testing::ScopedEnvironment https_proxy_upper_{"HTTPS_PROXY", ""};
  testing::ScopedEnvironment all_proxy_{"all_proxy", ""};
  testing::ScopedEnvironment all_proxy_upper_{"ALL_PROXY", ""};
  testing::ScopedEnvironment no_proxy_{"no_proxy", ""};
  testing::ScopedEnvironment no_proxy_upper_{"NO_PROXY", ""};
};

}  // namespace brontal::test
