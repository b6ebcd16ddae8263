// The game-wait and message commands (flow types 18 and 19; item types 3 and
// 4): both can stop the game's logic while the modal wait loop of the scene
// keeps drawing frames.

#include "core/SoundRequest.h"
#include "data/Command.h"
#include "flow/FlowCommands.h"
#include "world/CharaBase.h"
#include "world/FlowState.h"
#include "world/GameScene.h"
#include "world/Hero.h"
#include "world/Message.h"

namespace {

// Display modes of the message command.
enum eMessageDisplay : int {
  MESSAGE_UNTIL_KEY = 0,        // "進行キーが押されるまで表示"
  MESSAGE_UNTIL_STAGE_END = 1,  // "ステージ終了まで表示"
  MESSAGE_TIMED = 2,            // "時間で指定"
};

tMessageList::iterator FindMessage(tMessageList& messages, const cMessage* message) {
  for (auto it = messages.begin(); it != messages.end(); ++it)
    if (it->get() == message) return it;
  return messages.end();
}

void EraseMessage(tMessageList& messages, tMessageList::iterator it) {
  (*it)->ReleaseSurface();
  messages.erase(it);
}

cMessageSetup SetupFrom(cCharaBase& chara, const cCommand& command, int display, int frames) {
  cMessageSetup s;
  s.kind = MESSAGE_TEXT;
  s.text = command.m_strText;
  s.posMode = command.Param(0);
  s.cellX = command.Param(1);
  s.cellY = command.Param(2);
  s.offX = command.Param(3);
  s.offY = command.Param(4);
  s.keepOnScreen = command.Param(5);
  // Files older than the fixed-position flag get it at 10 for exactly the two
  // screen-anchored positions (0 and 7), which kept their place on the
  // screen before it existed; 9 is the window box.
  s.boxStyle = command.Param(9);
  s.fixedPos = command.Param(10);
  s.expand = command.Param(11);
  s.refreshInterval = command.Param(14);
  s.refresh = s.refreshInterval > 0 ? 1 : 0;
  s.noOpening = command.Param(16);
  s.waitMode = display;
  s.countdown = frames;
  s.hasId = command.Param(12);
  s.id = command.Param(13);
  if (s.posMode >= 4 && s.posMode <= 6) {
    const cHero* hero = StageHero();
    s.followKey = hero != nullptr ? hero->m_Key : 0;
  } else if (s.posMode >= 1 && s.posMode <= 3) {
    s.followKey = chara.m_Key;
  }
  return s;
}

}  // namespace

int CmdGameWait(cCharaBase&, cCommand& command) {
  if (g_GameScene == nullptr) return 0;
  const int frames = command.Param(0) * 6;
  cMessageSetup setup;
  setup.text.clear();
  setup.waitMode = MESSAGE_TIMED;
  setup.countdown = frames;
  setup.noSurface = 1;
  tMessageList& messages = g_GameScene->m_Messages;
  const std::shared_ptr<cMessage> mine = std::make_shared<cMessage>(setup);
  messages.push_back(mine);
  g_GameScene->m_GameWait.Set(0, 0, frames, 0);
  g_GameScene->PauseLoop();
  // The wait's own message may have finished and gone already: only it is
  // taken away, never another one that now stands last.
  if (auto it = FindMessage(messages, mine.get()); it != messages.end()) EraseMessage(messages, it);
  return 0;
}

int CmdMessageWait(cCharaBase& chara, cCommand& command, int messageWait) {
  if (g_GameScene == nullptr || g_GameScene->m_bMessageLock != 0) return 0;
  tMessageList& messages = g_GameScene->m_Messages;
  const bool replace = command.Param(12) != 0, removeOnly = command.Param(15) != 0;
  const int id = command.Param(13);
  tMessageList::iterator shown = messages.end();
  if (replace) {
    for (auto it = messages.begin(); it != messages.end(); ++it) {
      if ((*it)->m_HasId != 0 && (*it)->m_Id == id) {
        shown = it;
        break;
      }
    }
    if (shown != messages.end() && removeOnly) {
      EraseMessage(messages, shown);
      return 0;
    }
    if (shown == messages.end() && removeOnly) return 0;
  } else if (removeOnly) {
    return 0;
  }
  const int display = command.Param(17) != 0 ? MESSAGE_UNTIL_STAGE_END : command.Param(6);
  const int frames = command.Param(17) != 0 ? 1 : command.Param(7) * 6;
  cMessageSetup setup = SetupFrom(chara, command, display, frames);
  setup.hasId = replace ? 1 : setup.hasId;
  std::shared_ptr<cMessage> message;
  if (shown != messages.end()) {
    std::string text = setup.text;
    if (setup.expand != 0) ExpandMessageVars(text);
    int32_t w, h;
    MeasureText(text, w, h);
    if (w == (*shown)->m_Width && h == (*shown)->m_Height) {
      // Same size: the window is reused in place.
      cMessage& same = **shown;
      DDSURFACEDATA* surface = same.m_lpSD;
      const int entry = same.m_SurfaceEntry;
      same.m_lpSD = nullptr;
      setup.noSurface = 1;
      same.Set(setup);
      same.m_lpSD = surface;
      same.m_SurfaceEntry = entry;
      same.Render(surface);
      message = *shown;
    } else {
      auto position = std::next(shown);
      EraseMessage(messages, shown);
      message = *messages.insert(position, std::make_shared<cMessage>(setup));
    }
  } else {
    message = std::make_shared<cMessage>(setup);
    messages.push_back(message);
  }
  if (command.Param(8) == 0) return 0;
  // Stop the game while it is shown. A message kept until the stage ends has
  // no wait of its own to run: the game goes on.
  if (display == MESSAGE_UNTIL_KEY) {
    g_GameScene->m_GameWait.Set(GAME_WAIT_MESSAGE, 1, 0, messageWait);
    if (messageWait == 0) PlaySystemSound(11);
  } else if (display == MESSAGE_TIMED) {
    g_GameScene->m_GameWait.Set(GAME_WAIT_MESSAGE, 0, frames, 0);
  } else {
    return 0;
  }
  g_GameScene->PauseLoop();
  if (auto it = FindMessage(messages, message.get()); it != messages.end()) EraseMessage(messages, it);
  return 0;
}

int CmdMessage(cCharaBase& chara, cCommand& command) {
  const cFlowState* state = g_GameScene != nullptr ? g_GameScene->m_pCurFlowState : nullptr;
  return CmdMessageWait(chara, command, state != nullptr ? state->m_MessageChain : 0);
}
