#include "test_sound_card.h"

#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace brontal::test {
namespace {

class ControlHandle {
 public:
  ControlHandle() {
    if (snd_ctl_open(&ctl_, TestSoundCard::kName, 0) < 0) ctl_ = nullptr;
  }
  ~ControlHandle() {
    if (ctl_) snd_ctl_close(ctl_);
  }
  ControlHandle(const ControlHandle&) = delete;
  ControlHandle& operator=(const ControlHandle&) = delete;
  snd_ctl_t* get() const { return ctl_; }

 private:
  snd_ctl_t* ctl_ = nullptr;
};

// The element's value record, read from the card; nothing when it is not there.
bool ReadElement(snd_ctl_t* ctl, const std::string& element, snd_ctl_elem_value_t* value, unsigned& count) {
  snd_ctl_elem_id_t* id = nullptr;
  snd_ctl_elem_id_alloca(&id);
  snd_ctl_elem_id_set_interface(id, SND_CTL_ELEM_IFACE_MIXER);
  snd_ctl_elem_id_set_name(id, element.c_str());
  snd_ctl_elem_info_t* info = nullptr;
  snd_ctl_elem_info_alloca(&info);
  snd_ctl_elem_info_set_id(info, id);
  if (!ctl || snd_ctl_elem_info(ctl, info) < 0) return false;
  count = snd_ctl_elem_info_get_count(info);
  snd_ctl_elem_value_set_id(value, id);
  return snd_ctl_elem_read(ctl, value) >= 0;
}

}  // namespace

TestSoundCard::TestSoundCard(const std::vector<CardElement>& elements)
    : folder_("brontal_sound_card"), environment_({{"ALSA_CONFIG_PATH", (folder_.path() / "asound.conf").string()}}) {
  const std::filesystem::path card = folder_.path() / "card";
  std::ofstream(folder_.path() / "asound.conf")
      << "ctl_type.text_file_card { lib \"" << BRONTAL_TEXT_FILE_CARD_PLUGIN << "\" }\n"
      << "ctl." << kName << " { type text_file_card file \"" << card.string() << "\" }\n";
  SaveCard(card.string(), elements);
}

std::vector<long> TestSoundCard::Values(const std::string& element) const {
  ControlHandle ctl;
  snd_ctl_elem_value_t* value = nullptr;
  snd_ctl_elem_value_alloca(&value);
  unsigned count = 0;
  if (!ReadElement(ctl.get(), element, value, count)) {
    ADD_FAILURE() << "cannot read " << element;
    return {};
  }
  std::vector<long> values;
  for (unsigned channel = 0; channel < count; ++channel)
    values.push_back(snd_ctl_elem_value_get_integer(value, channel));
  return values;
}

void TestSoundCard::SetValues(const std::string& element, const std::vector<long>& values) {
  ControlHandle ctl;
  snd_ctl_elem_value_t* value = nullptr;
  snd_ctl_elem_value_alloca(&value);
  unsigned count = 0;
  if (!ReadElement(ctl.get(), element, value, count) || count != values.size()) {
    ADD_FAILURE() << "cannot set " << element;
    return;
  }
  for (unsigned channel = 0; channel < count; ++channel)
    snd_ctl_elem_value_set_integer(value, channel, values[channel]);
  if (snd_ctl_elem_write(ctl.get(), value) < 0) ADD_FAILURE() << "cannot write " << element;
}

void TestSoundCard::Unplug() { std::filesystem::remove(folder_.path() / "card"); }

}  // namespace brontal::test
