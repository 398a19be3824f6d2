#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace brontal {

// A background chosen in the skin frame: a plain colour or an image (a path
// within the skin folder, or an absolute one).
struct SkinChangedParam {
  bool is_colour = false;
  std::uint32_t colour = 0;  // ARGB
  std::string image;
};

template <typename Key, typename Param>
class ReceiverImpl;

// Hands a parameter to every receiver registered with it; receivers are kept
// under the running count of those added so far.
template <typename Key, typename Param>
class ObserverImpl {
 public:
  ObserverImpl() = default;
  ObserverImpl(const ObserverImpl&) = delete;
  ObserverImpl& operator=(const ObserverImpl&) = delete;
  // Receivers that outlive it forget it, so none calls into it afterwards.
  ~ObserverImpl() {
    while (!receivers_.empty()) receivers_.begin()->second->RemoveObserver(*this);
  }

  void AddReceiver(ReceiverImpl<Key, Param>& receiver) {
    receivers_.emplace(next_key_++, &receiver);
    receiver.AddObserver(*this);
  }
  void RemoveReceiver(ReceiverImpl<Key, Param>& receiver) {
    std::erase_if(receivers_, [&](const auto& entry) { return entry.second == &receiver; });
  }
  void Broadcast(const Param& param) {
    for (const auto& [key, receiver] : receivers_) receiver->Receive(param);
  }

 private:
  std::map<Key, ReceiverImpl<Key, Param>*> receivers_;
  Key next_key_{};
};

// Detaches from its observers when it goes, so no broadcast reaches it after.
template <typename Key, typename Param>
class ReceiverImpl {
 public:
  ReceiverImpl() = default;
  ReceiverImpl(const ReceiverImpl&) = delete;
  ReceiverImpl& operator=(const ReceiverImpl&) = delete;
  virtual ~ReceiverImpl() {
    for (ObserverImpl<Key, Param>* observer : observers_) observer->RemoveReceiver(*this);
  }

  void AddObserver(ObserverImpl<Key, Param>& observer) { observers_.push_back(&observer); }
  void RemoveObserver(ObserverImpl<Key, Param>& observer) {
    observer.RemoveReceiver(*this);
    std::erase(observers_, &observer);
  }
  virtual int Receive(const Param& param) = 0;

 private:
  std::vector<ObserverImpl<Key, Param>*> observers_;
};

using SkinObserver = ObserverImpl<int, SkinChangedParam>;
using SkinReceiver = ReceiverImpl<int, SkinChangedParam>;

// The program's one skin observer.
inline SkinObserver& TheSkinObserver() {
  static SkinObserver observer;
  return observer;
}

}  // namespace brontal
