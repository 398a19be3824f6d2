#include "control/device_request.h"

#include <json/json.h>

#include <memory>

namespace brontal {
namespace {

bool ParseJson(const std::string& text, Json::Value& value) {
  Json::CharReaderBuilder builder;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  std::string errors;
  return reader->parse(text.data(), text.data() + text.size(), &value, &errors) && value.isObject();
}

std::string Compact(const Json::Value& value) {
  Json::StreamWriterBuilder writer;
  writer["indentation"] = "";
  return Json::writeString(writer, value);
}

}  // namespace

std::string EncodeDeviceRequest(const DeviceRequest& request) {
  Json::Value value;
  Json::Value& args = value["args"] = Json::Value(Json::arrayValue);
  for (const std::string& arg : request.args) args.append(arg);
  value["bus"] = request.bus;
  return Compact(value);
}

bool DecodeDeviceRequest(const std::string& text, DeviceRequest& request) {
  Json::Value value;
  if (!ParseJson(text, value) || !value["args"].isArray() || !value["bus"].isString()) return false;
  request = DeviceRequest{};
  for (const Json::Value& arg : value["args"]) {
    if (!arg.isString()) return false;
    request.args.push_back(arg.asString());
  }
  request.bus = value["bus"].asString();
  return !request.args.empty();
}

std::string EncodeDeviceReply(const DeviceReply& reply) {
  Json::Value value;
  value["status"] = reply.status;
  value["out"] = reply.out;
  value["err"] = reply.err;
  return Compact(value);
}

bool DecodeDeviceReply(const std::string& text, DeviceReply& reply) {
  Json::Value value;
  if (!ParseJson(text, value) || !value["status"].isInt() || !value["out"].isString() || !value["err"].isString())
    return false;
  reply = {value["status"].asInt(), value["out"].asString(), value["err"].asString()};
  return true;
}

}  // namespace brontal
