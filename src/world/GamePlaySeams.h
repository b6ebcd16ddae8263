#pragma once
// Services of the game scene that other parts of the world provide: the
// shots, contacts, damage, special blocks and the stage clear. Each is an
// empty stand-in here (GamePlaySeams.cpp) until its own file joins the world;
// the stand-ins keep the scene's frame order whole and playable meanwhile.

class cCharaBase;
class cGameScene;

// Shots: one sub-step of every shot (motion, moves, the area test in the
// first sub-step, the block test); the per-sub-step activation; emptying the
// shot list and its groups; the number of shots in flight.
void UpdateShots();
void ActivateShots();
void ClearShots();
int ShotCount();

// Contacts and deaths: 0 go on, 1 stage clear, 2 the hero died.
int CheckContacts();
int PickUpItems();
int KillAndCheck(cCharaBase& chara);
int CheckDeaths();

// Damage: the hero's death (trigger 3, score, drop, death effect): 1 when it
// clears the stage. Unlinking a character from every other's links and
// targets before it is removed.
int HeroDie();
void UnlinkChara(cCharaBase& chara);

// Special blocks under the hero: the foot block of the sub-step, and the item
// blocks touched (0, 1 stage clear, 2 hero death).
void ApplyFootBlock();
int TouchItemBlocks();

// Stage clear and ranking: entering the clear (totals, extra lives, result
// records), the ranking entry, the scene to go to after the clear.
void ClearStage();
void EnterRanking();
int NextStage();
// Loads the ranking boards of the play level for the stage being entered.
void LoadStageRanking();
// Draws the results window and the ranking board of the current genre.
void DrawResults(int x, int y);
void DrawRankingBoard(int x, int y);
