// An ALSA control plugin whose card is a text file (text_file_card.h): the
// file is the card's hardware, read on every access and rewritten on every write, so
// every handle on it sees the same values, and changes made through one
// handle reach the others as value events. Without the file the card is
// unplugged: calls fail with ENODEV as they do on an unplugged USB card.
//
//   ctl_type.text_file_card { lib "/path/to/this/module.so" }
//   ctl.NAME { type text_file_card file "/path/to/card" }
#include <alsa/asoundlib.h>
#include <alsa/control_external.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "text_file_card.h"

namespace {

using brontal::test::CardElement;

struct Card {
  snd_ctl_ext_t ext{};
  std::string path;
  std::vector<CardElement> told;  // the values this handle last reported
};

Card& CardOf(snd_ctl_ext_t* ext) { return *static_cast<Card*>(ext->private_data); }

void Close(snd_ctl_ext_t* ext) { delete &CardOf(ext); }

int ElementCount(snd_ctl_ext_t* ext) { return static_cast<int>(CardOf(ext).told.size()); }

int ListElement(snd_ctl_ext_t* ext, unsigned int offset, snd_ctl_elem_id_t* id) {
  const Card& card = CardOf(ext);
  if (offset >= card.told.size()) return -EINVAL;
  snd_ctl_elem_id_set_interface(id, SND_CTL_ELEM_IFACE_MIXER);
  snd_ctl_elem_id_set_name(id, card.told[offset].name.c_str());
  return 0;
}

snd_ctl_ext_key_t FindElement(snd_ctl_ext_t* ext, const snd_ctl_elem_id_t* id) {
  const Card& card = CardOf(ext);
  const char* name = snd_ctl_elem_id_get_name(id);
  for (std::size_t i = 0; i < card.told.size(); ++i)
    if (card.told[i].name == name) return i;
  return SND_CTL_EXT_KEY_NOT_FOUND;
}

int GetAttribute(snd_ctl_ext_t* ext, snd_ctl_ext_key_t key, int* type, unsigned int* access, unsigned int* count) {
  const CardElement& element = CardOf(ext).told.at(key);
  *type = element.is_switch() ? SND_CTL_ELEM_TYPE_BOOLEAN : SND_CTL_ELEM_TYPE_INTEGER;
  *access = SND_CTL_EXT_ACCESS_READWRITE;
  if (element.db) *access |= SND_CTL_EXT_ACCESS_TLV_READ | SND_CTL_EXT_ACCESS_TLV_CALLBACK;
  *count = static_cast<unsigned int>(element.values.size());
  return 0;
}

int GetIntegerInfo(snd_ctl_ext_t* ext, snd_ctl_ext_key_t key, long* min, long* max, long* step) {
  const CardElement& element = CardOf(ext).told.at(key);
  *min = element.min;
  *max = element.max;
  *step = 0;
  return 0;
}

int ReadInteger(snd_ctl_ext_t* ext, snd_ctl_ext_key_t key, long* values) {
  Card& card = CardOf(ext);
  const auto elements = brontal::test::LoadCard(card.path);
  if (!elements) return -ENODEV;
  card.told[key].values = elements->at(key).values;
  std::copy(card.told[key].values.begin(), card.told[key].values.end(), values);
  return 0;
}

int WriteInteger(snd_ctl_ext_t* ext, snd_ctl_ext_key_t key, long* values) {
  Card& card = CardOf(ext);
  auto elements = brontal::test::LoadCard(card.path);
  if (!elements) return -ENODEV;
  CardElement& element = elements->at(key);
  for (long& value : element.values) {
    if (*values < element.min || *values > element.max) return -EINVAL;
    value = *values++;
  }
  brontal::test::SaveCard(card.path, *elements);
  card.told[key].values = element.values;
  return 0;
}

int ReadEvent(snd_ctl_ext_t* ext, snd_ctl_elem_id_t* id, unsigned int* event_mask) {
  Card& card = CardOf(ext);
  const auto elements = brontal::test::LoadCard(card.path);
  if (!elements) return -ENODEV;
  for (std::size_t i = 0; i < card.told.size(); ++i) {
    if (elements->at(i).values == card.told[i].values) continue;
    card.told[i].values = elements->at(i).values;
    snd_ctl_elem_id_set_interface(id, SND_CTL_ELEM_IFACE_MIXER);
    snd_ctl_elem_id_set_name(id, card.told[i].name.c_str());
    *event_mask = SND_CTL_EVENT_MASK_VALUE;
    return 1;
  }
  return -EAGAIN;
}

int ReadTlv(snd_ctl_ext_t* ext, snd_ctl_ext_key_t key, int op_flag, unsigned int, unsigned int* tlv,
            unsigned int tlv_size) {
  const CardElement& element = CardOf(ext).told.at(key);
  if (op_flag != 0 || !element.db) return -ENXIO;
  if (tlv_size < 4 * sizeof(unsigned int)) return -ENOMEM;
  tlv[0] = SND_CTL_TLVT_DB_MINMAX;
  tlv[1] = 2 * sizeof(unsigned int);
  tlv[2] = static_cast<unsigned int>(element.db->first);
  tlv[3] = static_cast<unsigned int>(element.db->second);
  return 0;
}

constexpr snd_ctl_ext_callback_t kCallbacks = {
    .close = Close,
    .elem_count = ElementCount,
    .elem_list = ListElement,
    .find_elem = FindElement,
    .free_key = nullptr,
    .get_attribute = GetAttribute,
    .get_integer_info = GetIntegerInfo,
    .get_integer64_info = nullptr,
    .get_enumerated_info = nullptr,
    .get_enumerated_name = nullptr,
    .read_integer = ReadInteger,
    .read_integer64 = nullptr,
    .read_enumerated = nullptr,
    .read_bytes = nullptr,
    .read_iec958 = nullptr,
    .write_integer = WriteInteger,
    .write_integer64 = nullptr,
    .write_enumerated = nullptr,
    .write_bytes = nullptr,
    .write_iec958 = nullptr,
    .subscribe_events = nullptr,
    .read_event = ReadEvent,
    .poll_descriptors_count = nullptr,
    .poll_descriptors = nullptr,
    .poll_revents = nullptr,
};

void Copy(char* field, std::size_t size, const char* text) { std::snprintf(field, size, "%s", text); }

}  // namespace

extern "C" {

SND_CTL_PLUGIN_DEFINE_FUNC(text_file_card) {
  (void)root;
  const char* file = nullptr;
  snd_config_iterator_t i, next;
  snd_config_for_each(i, next, conf) {
    snd_config_t* field = snd_config_iterator_entry(i);
    const char* id = nullptr;
    if (snd_config_get_id(field, &id) < 0) continue;
    if (std::strcmp(id, "comment") == 0 || std::strcmp(id, "type") == 0 || std::strcmp(id, "hint") == 0) continue;
    if (std::strcmp(id, "file") == 0 && snd_config_get_string(field, &file) >= 0) continue;
    SNDERR("Unknown field %s", id);
    return -EINVAL;
  }
  if (!file) {
    SNDERR("No file given");
    return -EINVAL;
  }
  auto elements = brontal::test::LoadCard(file);
  if (!elements) return -ENODEV;

  auto* card = new Card;
  card->path = file;
  card->told = std::move(*elements);
  card->ext.version = SND_CTL_EXT_VERSION;
  card->ext.card_idx = 0;
  Copy(card->ext.id, sizeof(card->ext.id), "TextFileCard");
  Copy(card->ext.driver, sizeof(card->ext.driver), "text_file_card");
  Copy(card->ext.name, sizeof(card->ext.name), "Text file card");
  Copy(card->ext.longname, sizeof(card->ext.longname), "A card kept in a text file");
  Copy(card->ext.mixername, sizeof(card->ext.mixername), "Text file mixer");
  card->ext.poll_fd = -1;
  card->ext.callback = &kCallbacks;
  card->ext.private_data = card;
  card->ext.tlv.c = ReadTlv;
  const int error = snd_ctl_ext_create(&card->ext, name, mode);
  if (error < 0) {
    delete card;
    return error;
  }
  *handlep = card->ext.handle;
  return 0;
}

SND_CTL_PLUGIN_SYMBOL(text_file_card)

}  // extern "C"
