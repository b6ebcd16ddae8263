#pragma once
// The compiled-in vocabulary that the player reads while it runs: the limits of
// the formation and motion parameters (the arrange command clamps by them), the
// status and system-value tables of status conditions and operations, and the
// character state table with the option lists it takes over.
//
// The data files store small numbers; these tables say what the numbers mean
// and which values they may take. The editor's other choice lists are never
// read by the player and are not compiled in.
//
// Name lists are arrays of texts ended by an empty text, so code that walks a
// list until "" finds its length; CountNames does exactly that.

#include <array>
#include <cstdint>

// One formation or motion parameter (also the element type of the effect
// parameter tables): label, and the limits and default the editor offers.
// An empty label means the formation or motion has no such parameter.
struct cParamDesc {
  const char* m_Label;
  int16_t m_Min;
  int16_t m_Max;
  int16_t m_Default;
};

// One status value that status conditions and operations work on: the range
// the value itself holds, the range of an operand, and three switches.
struct cStatusDesc {
  const char* m_Name;
  int32_t m_ValueMin;
  int32_t m_ValueMax;
  int32_t m_OperandMin;
  int32_t m_OperandMax;
  int32_t m_Switch1;
  int32_t m_Switch2;
  int32_t m_Switch3;
};

// One state value of a character: range, default and the names of its values
// (a name list ended by "").
struct cStateDesc {
  const char* m_Name;
  int32_t m_Min;
  int32_t m_Max;
  int32_t m_Default;
  const char* const* m_OptionNames;
};

// The number of entries of a name list before its terminating "".
constexpr int CountNames(const char* const* names) {
  int count = 0;
  while (names[count][0] != '\0') ++count;
  return count;
}

// ---- option lists of the character state table ---------------------------

inline constexpr const char* kOnNames[] = {"ON", ""};
inline constexpr const char* kOnOffNames[] = {"OFF", "ON", ""};
// A second "OFF"/"ON" list kept apart from kOnOffNames: the state "透明" takes
// this one.
inline constexpr const char* kOnOffNames2[] = {"OFF", "ON", ""};
inline constexpr const char* kFlyingModeNames[] = {"OFF", "ON (ブロックをすり抜ける)", "ON (ブロックに当たる)",
                                                  "ON (ブロックに当たると即死)", ""};
inline constexpr const char* kInvincibleNames[] = {"OFF", "ON (ショットが当たる)", "ON (ショットがすり抜ける)", ""};
// Entry n names scale n + 1.
inline constexpr const char* kScaleNames[] = {"しない", "×4",  "×9",  "×16", "×25", "×36",
                                             "×49",    "×64", "×81", "×100", ""};

// ---- formation and motion parameters ---------------------------------------

inline constexpr int kFormationCount = 6;
inline constexpr int kMotionCount = 10;
inline constexpr int kParamsPerKind = 3;

// Row = formation * 3 + parameter number - 1.
inline constexpr std::array<cParamDesc, kFormationCount * kParamsPerKind> kFormationParamTable{{
    // 0 "直進A"
    {"間隔(hbl)", 0, 40, 0}, {"", 0, 0, 0}, {"", 0, 0, 0},
    // 1 "直進B"
    {"間隔(hbl)", 0, 40, 0}, {"", 0, 0, 0}, {"", 0, 0, 0},
    // 2 "拡散"
    {"角度", 0, 180, 30}, {"", 0, 0, 0}, {"", 0, 0, 0},
    // 3 "落雷"
    {"間隔(hbl)", 0, 40, 0}, {"列の数", 1, 50, 1}, {"列の間隔(hbl)", 0, 40, 0},
    // 4 "爆発"
    {"", 0, 0, 0}, {"", 0, 0, 0}, {"", 0, 0, 0},
    // 5 "包囲"
    {"距離(hbl)", 0, 40, 6}, {"", 0, 0, 0}, {"", 0, 0, 0},
}};

// Row = motion * 3 + parameter number - 1.
inline constexpr std::array<cParamDesc, kMotionCount * kParamsPerKind> kMotionParamTable{{
    // 0 "直進"
    {"", 0, 0, 0}, {"", 0, 0, 0}, {"", 0, 0, 0},
    // 1 "主人公を狙う"
    {"軌道変更(hbl)", 0, 40, 0}, {"", 0, 0, 0}, {"", 0, 0, 0},
    // 2 "近いキャラを狙う"
    {"軌道変更(hbl)", 0, 40, 0}, {"対象勢力", 0, 7, 0}, {"", 0, 0, 0},
    // 3 "ターゲットを狙う"
    {"軌道変更(hbl)", 0, 40, 0}, {"", 0, 0, 0}, {"", 0, 0, 0},
    // 4 "主人公へ誘導"
    {"誘導開始(hbl)", 0, 40, 0}, {"誘導終了(hbl)", 0, 999, 999}, {"", 0, 0, 0},
    // 5 "近いキャラへ誘導（対象死亡時、誘導を無効化）"
    {"誘導開始(hbl)", 0, 40, 0}, {"誘導終了(hbl)", 0, 999, 999}, {"対象勢力", 0, 7, 0},
    // 6 "ターゲットへ誘導"
    {"誘導開始(hbl)", 0, 40, 0}, {"誘導終了(hbl)", 0, 999, 999}, {"", 0, 0, 0},
    // 7 "近いキャラへ誘導（対象死亡時、対象を変更）"
    {"誘導開始(hbl)", 0, 40, 0}, {"誘導終了(hbl)", 0, 999, 999}, {"対象勢力", 0, 7, 0},
    // 8 "ウェーブ"
    {"波の最大(hbl)", 0, 100, 4}, {"波の速度", 0, 100, 4}, {"開始角度", 0, 359, 0},
    // 9 "落下"
    {"軌道変更(hbl)", 0, 40, 0}, {"", 0, 0, 0}, {"", 0, 0, 0},
}};

// The limits of formation parameter `number` (1 to 3) of `formation`, or null
// when either lies outside the table (the caller then leaves the value alone).
const cParamDesc* FindFormationParam(int formation, int number);
// The same for motion parameter `number` (1 to 3) of `motion`.
const cParamDesc* FindMotionParam(int motion, int number);

// ---- status values ---------------------------------------------------------

// Indexed by the item number of a status condition or operation on a character.
inline constexpr std::array<cStatusDesc, 15> kCharaStatusTable{{
    {"キャラ変数", -999999, 999999, -999999, 999999, 0, 0, 1},
    {"HP", 0, 999999, -999999, 999999, 0, 1, 1},
    {"SP", 0, 999999, -999999, 999999, 0, 1, 1},
    {"最大HP", 0, 999999, -999999, 999999, 0, 0, 1},
    {"最大SP", 0, 999999, -999999, 999999, 0, 0, 1},
    {"キャラID", 0, 99, -99, 99, 0, 0, 0},
    {"Z座標", 0, 8, -8, 8, 0, 0, 0},
    {"マーク番号", 0, 119, -119, 119, 0, 0, 0},
    {"視界範囲(hbl)", 0, 40, -40, 40, 0, 0, 1},
    {"体当たりの威力", -999999, 999999, -999999, 999999, 0, 0, 1},
    {"体当たりの衝撃", -20, 20, -20, 20, 0, 0, 1},
    {"防御力", 0, 999999, -999999, 999999, 0, 0, 1},
    {"衝撃耐性", 0, 20, -20, 20, 0, 0, 1},
    {"止まりやすさ", 0, 200, -200, 200, 0, 0, 1},
    {"倒したら獲得するスコア", -999999, 999999, -999999, 999999, 0, 0, 1},
}};

// Indexed by the item number of a status condition or operation on the system.
inline constexpr std::array<cStatusDesc, 5> kSystemStatusTable{{
    {"時間", 0, 999, -999, 999, 0, 0, 1},
    {"横スクロール速度", -480, 480, -480, 480, 0, 0, 1},
    {"縦スクロール速度", -480, 480, -480, 480, 0, 0, 1},
    {"スコア", 0, 999999, -999999, 999999, 0, 0, 1},
    {"残り人数", 0, 99, -99, 99, 0, 0, 1},
}};

// ---- character states ------------------------------------------------------

// Indexed by the state selector: 0 "消滅" to 6 "オートスクロールとシンクロ".
inline constexpr std::array<cStateDesc, 7> kCharaStateTable{{
    {"消滅", 0, 0, 0, kOnNames},
    {"透明", 0, 1, 0, kOnOffNames2},
    {"向き固定", 0, 1, 0, kOnOffNames},
    {"飛行", 0, 3, 0, kFlyingModeNames},
    {"無敵", 0, 2, 0, kInvincibleNames},
    {"巨大化", 1, 10, 1, kScaleNames},
    {"オートスクロールとシンクロ", 0, 1, 0, kOnOffNames},
}};
