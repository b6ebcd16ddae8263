#pragma once
// A drawing layer for tests: it describes whatever display the test sets,
// records every full-screen message box it is asked for and gives the answer
// the test chose. While it lives it is the installed display services; the
// previous ones come back when it is destroyed.

#include <mutex>
#include <string>
#include <vector>

#include "core/DisplayServices.h"

class cFakeDisplayServices : public cDisplayServices {
 public:
  struct cMesBoxCall {
    std::string text;
    std::string caption;
    unsigned type = 0;
  };

  cFakeDisplayServices() : m_Previous(GetDisplayServices()) { SetDisplayServices(this); }
  explicit cFakeDisplayServices(const cDisplayDescription& description) : cFakeDisplayServices() {
    SetDescription(description);
  }
  ~cFakeDisplayServices() override { SetDisplayServices(m_Previous); }
  cFakeDisplayServices(const cFakeDisplayServices&) = delete;
  cFakeDisplayServices& operator=(const cFakeDisplayServices&) = delete;

  void SetDescription(const cDisplayDescription& description) {
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Description = description;
  }
  // What MesBox answers: 1 (shown) by default, 0 for "could not be shown".
  void SetMesBoxAnswer(int answer) {
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Answer = answer;
  }
  std::vector<cMesBoxCall> MesBoxCalls() const {
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Calls;
  }

  cDisplayDescription Describe() const override {
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Description;
  }
  int MesBox(const std::string& text, const std::string& caption, unsigned type) override {
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Calls.push_back({text, caption, type});
    return m_Answer;
  }

 private:
  cDisplayServices* m_Previous;
  mutable std::mutex m_Mutex;
  cDisplayDescription m_Description;
  std::vector<cMesBoxCall> m_Calls;
  int m_Answer = 1;
};

// A started display on the given back end, 32 bits, in a window unless told
// otherwise: the description most timing and report tests start from.
inline cDisplayDescription RunningDisplay(eDisplayBackEnd backEnd, bool windowed = true) {
  cDisplayDescription description;
  description.started = true;
  description.windowed = windowed;
  description.backEnd = backEnd;
  description.bitsPerPixel = 32;
  return description;
}
