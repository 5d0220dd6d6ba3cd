#include "game/game_keys.h"

namespace zt {

namespace {

// The edge rule: up clears the flag (the timer keeps its value); a fresh press sets the
// flag and loads the timer; a key already held changes nothing.
void Edge(bool down, bool& flag, int32_t& timer, int32_t start) {
  if (!down) {
    flag = false;
  } else if (!flag) {
    flag = true;
    timer = start;
  }
}

bool ReadSnapshot(Keyboard& keyboard) { return keyboard.KeyboardReady && DIUpdateKeyboard(keyboard); }

// Up, Down, Left, Right and Esc are polled alike in the game and in the menus.
void PollSteeringKeys(GameKeys& keys, const Keyboard& keyboard, int32_t sidewaysKeyDelay) {
  Edge(DIKeyDown(keyboard, DIK_UP), keys.KeyUp, keys.UpKeyTimer, kUpKeyStart);
  Edge(DIKeyDown(keyboard, DIK_DOWN), keys.KeyDown, keys.DropKeyTimer, kDropKeyStart);
  Edge(DIKeyDown(keyboard, DIK_LEFT), keys.KeyLeft, keys.ShiftKeyTimer, sidewaysKeyDelay);
  Edge(DIKeyDown(keyboard, DIK_RIGHT), keys.KeyRight, keys.ShiftKeyTimer, sidewaysKeyDelay);
  Edge(DIKeyDown(keyboard, DIK_ESCAPE), keys.KeyEsc, keys.EscKeyTimer, kEscKeyStart);
}

}  // namespace

void PollGameKeys(GameKeys& keys, Keyboard& keyboard, int32_t sidewaysKeyDelay) {
  if (!ReadSnapshot(keyboard)) return;
  PollSteeringKeys(keys, keyboard, sidewaysKeyDelay);
  Edge(DIKeyDown(keyboard, DIK_SPACE), keys.KeySpace, keys.DropKeyTimer, kDropKeyStart);
  Edge(DIKeyDown(keyboard, DIK_RETURN), keys.KeyEnter, keys.EnterKeyTimer, kEnterKeyStart);
  Edge(DIKeyDown(keyboard, DIK_LCONTROL) || DIKeyDown(keyboard, DIK_RCONTROL), keys.KeyCtrl, keys.DropKeyTimer,
       kDropKeyStart);
  Edge(DIKeyDown(keyboard, DIK_P) || DIKeyDown(keyboard, DIK_PAUSE), keys.KeyPause, keys.PauseKeyTimer, kPauseKeyStart);
  keys.KeyYes = DIKeyDown(keyboard, DIK_Y);
  keys.KeyNo = DIKeyDown(keyboard, DIK_N);
}

void PollMenuKeys(GameKeys& keys, Keyboard& keyboard, int32_t sidewaysKeyDelay) {
  if (!ReadSnapshot(keyboard)) return;
  PollSteeringKeys(keys, keyboard, sidewaysKeyDelay);
  Edge(DIKeyDown(keyboard, DIK_TAB), keys.KeyTab, keys.TabKeyTimer, kTabKeyStart);
  const bool selectDown = DIKeyDown(keyboard, DIK_SPACE) || DIKeyDown(keyboard, DIK_RETURN);
  if (selectDown && !keys.KeyEnter && !keys.KeySelect) {
    keys.KeyEnter = keys.KeySelect = true;
    keys.EnterKeyTimer = kMenuEnterKeyStart;
  } else if (!selectDown) {
    keys.KeyEnter = keys.KeySelect = false;
  }
  keys.KeyPad = DIKeyDown(keyboard, DIK_PADINPUT);
  const bool ctrlDown = DIKeyDown(keyboard, DIK_LCONTROL) || DIKeyDown(keyboard, DIK_RCONTROL);
  keys.KeyCtrlPressed = ctrlDown && !keys.KeyCtrl;
  keys.KeyCtrl = ctrlDown;
}

void ReleaseGameKeys(GameKeys& keys) {
  keys.KeyLeft = keys.KeyRight = keys.KeyUp = keys.KeyDown = keys.KeySpace = keys.KeyCtrl = false;
  keys.KeyEsc = keys.KeyEnter = keys.KeyPause = keys.KeyYes = keys.KeyNo = keys.KeyTab = false;
}

}  // namespace zt
