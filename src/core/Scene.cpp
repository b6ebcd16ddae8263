#include "core/Scene.h"

#include "core/Log.h"
#include "core/MainWindow.h"

void ReportThrownText(const char* text) { LogFatal(g_hMainWnd, "%s", text); }

void cScene::RunSteps() {
  if (m_nStep == -1) {
    CallCatchingText([this] { Init(); });
    m_nStep = 0;
  }
  if (m_nStep < 0 || static_cast<std::size_t>(m_nStep) >= m_Steps.size()) return;
  const Step step = m_Steps[static_cast<std::size_t>(m_nStep)];
  if (step) (this->*step)();
}

void cScene::SetSteps(std::vector<Step> ownSteps) {
  m_Steps.clear();
  m_Steps.reserve(ownSteps.size() + 2);
  m_Steps.push_back(&cScene::FadeIn);
  for (Step step : ownSteps) m_Steps.push_back(step);
  m_Steps.push_back(&cScene::FadeOut);
}
