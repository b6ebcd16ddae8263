#pragma once
// The shape every scene shares: an initialisation on its first update, a
// fade-in step, the scene's own steps, and a fade-out step that hands over to
// the next scene. The scene manager owns the scenes and calls Update once per
// frame on the game thread.
//
// A scene reports a condition it cannot go on from by throwing a text (a
// const char* or a std::string); the update convention and the scene switch
// catch it, write it to the logs and close the main window (LogFatal), and
// the frame completes normally.

#include <exception>
#include <string>
#include <utility>
#include <vector>

class cScene {
 public:
  // A step of the scene; derived steps are stored with static_cast<Step>.
  using Step = void (cScene::*)();

  cScene() = default;
  cScene(const cScene&) = delete;
  cScene& operator=(const cScene&) = delete;

  // Virtual operations, in this order. In the base they do nothing; a derived
  // destructor releases the scene's surfaces.
  virtual ~cScene() = default;
  virtual void Update() {}
  virtual void Init() {}
  virtual void FadeIn() {}
  virtual void FadeOut() {}

  // The common part of a menu scene's update, after the scene has filtered
  // the keys of input device 0: while m_nStep is -1, Init runs inside a handler
  // for a thrown text and the step becomes 0 whether or not one was thrown;
  // then the step at m_nStep runs. A step outside the table runs nothing.
  void RunSteps();

  // Fills m_Steps: the fade-in, the scene's own steps, the fade-out.
  void SetSteps(std::vector<Step> ownSteps);

  int m_nStep = -1;   // index into m_Steps; -1 until Init has run
  int m_nSubStep = 0; // counter or sub-state of the current step, free for the scene
  std::vector<Step> m_Steps;
};

// Runs `body`; a text it throws (or any standard exception) is handed to
// LogFatal with the main window: the logs get the text and WM_CLOSE is posted.
// False when something was thrown.
template <class Body>
bool CallCatchingText(Body&& body);

// What CallCatchingText does with a caught text: LogFatal (g_hMainWnd, text).
void ReportThrownText(const char* text);

template <class Body>
bool CallCatchingText(Body&& body) {
  try {
    std::forward<Body>(body)();
    return true;
  } catch (const char* text) {
    ReportThrownText(text ? text : "");
  } catch (const std::string& text) {
    ReportThrownText(text.c_str());
  } catch (const std::exception& error) {
    ReportThrownText(error.what());
  }
  return false;
}
