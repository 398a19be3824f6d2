#pragma once

#include <json/json.h>

#include <cstdint>
#include <span>
#include <vector>

#include "profiles/profile_records.h"

// "KeyList" and "KeyFnList": one element per key index, each with the packed
// key actions "Assignment" and "DefaultAssignment".
namespace brontal {

// (b0 shl 16) or (b1 shl 8) or b2.
std::int64_t PackKeyAction(const KeyAction& action);
// The three bytes of a packed action; bits above the 24 are ignored.
KeyAction UnpackKeyAction(const Json::Value& packed);

// Record i holds key index i with both actions; a missing action is 0, 0, 0.
std::vector<KeyAssignment> DecodeKeyList(const Json::Value& key_list);

// Writes "Assignment" of elements 0..n-1 and keeps everything else, the
// defaults above all.
void WriteAssignments(Json::Value& key_list, std::span<const KeyAssignment> keys);

}  // namespace brontal
