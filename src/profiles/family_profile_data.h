#pragma once

#include "profiles/basic_profile_data.h"

// The profile data of each family. They add nothing to the base: a family
// uses the accessors of its own members. The mouse pad uses the base itself.
namespace brontal {

class CKeyboardProfiledata final : public CBasicProfiledata {};
class CMouseProfiledata final : public CBasicProfiledata {};
class CZu6533Profiledata final : public CBasicProfiledata {};

}  // namespace brontal
