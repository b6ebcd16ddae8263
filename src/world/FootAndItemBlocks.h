#pragma once
// The blocks that act on the hero standing on them, once per sub-step of the
// play step, through the cell under the hero's feet (m_nCellBelow): foot
// effects (a spring, a jump ban, a speed factor, a push left or right) and
// item blocks, whose item the hero receives as if picked up.
//
// A foot effect keeps acting for the rest of the frame (its countdown is the
// stage's sub-steps), so a conveyor still pushes for one frame after the hero
// steps off. An item block gives its item once a second while the hero stands
// on it, and at once on stepping onto another cell. A flying hero is touched
// by neither.

class cHero;

// The foot effect of the cell under the hero, then the running effect's
// step. Returns 0.
int ApplyFootBlock(cHero& hero);

// The item of the cell under the hero: its item-command result when that is
// not 0 (1 stage clear, 2 the hero dies), else 0.
int TouchItemBlocks(cHero& hero);
