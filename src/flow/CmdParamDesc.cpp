#include "flow/CmdParamDesc.h"

#include <limits>
#include <vector>

#include "data/Command.h"

namespace {

constexpr int32_t M = std::numeric_limits<int32_t>::max();

struct cRow {
  const char* m_Label;
  int32_t m_Min;
  int32_t m_Max;
};
using cRows = std::vector<cRow>;

cRows operator+(cRows first, const cRows& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

void Fill(int type, const cRows& rows) {
  cSafeVector<cCmdParamDesc>& list = kCmdParamDesc[type];
  list.clear();
  for (const cRow& row : rows) list.emplace_back().Set(row.m_Label, row.m_Min, row.m_Max);
}

const cRows kTargetPointRows = {
    {"目標X(bl)", -640, 640},  {"目標X(dot)", -640, 640}, {"目標Y(bl)", -640, 640},
    {"目標Y(dot)", -640, 640}, {"角度", -7200, 7200},     {"分身値による増加角度", -7200, 7200},
};

// The values a formation kind gives its own meaning; their limits come from
// the formation table.
const cRows kFormationRows = {
    {"フォーメーション固有1", 0, M},
    {"フォーメーション固有2", 0, M},
    {"フォーメーション固有3", 0, M},
};

// How many objects a summon makes, and where.
const cRows kSummonRows = {
    {"数", 1, 127},
    {"召喚位置のズレX(dot)", -640, 640},
    {"召喚位置のズレY(dot)", -640, 640},
};

const cRows kLifetimeRow = {{"存在時間(1/10s)", 1, 9999}};

}  // namespace

void cCmdParamDesc::Set(const std::string& label, int32_t minimum, int32_t maximum) {
  m_Label = label;
  m_Min = minimum;
  m_Max = maximum;
}

void BuildCmdParamDesc() {
  kCmdParamDesc.resize(kFlowCmdTypeCount);
  for (cSafeVector<cCmdParamDesc>& list : kCmdParamDesc) list.clear();

  Fill(FLOW_CMD_STRAIGHT_MOVE, kTargetPointRows);
  Fill(FLOW_CMD_RUSH_MOVE, kTargetPointRows);
  Fill(FLOW_CMD_HOMING_MOVE, {
                                 {"誘導性能の悪さ", 0, 10},
                                 {"分身値による増加誘導性能の悪さ", 0, 10},
                                 {"目標X(bl)", -640, 640},
                                 {"目標X(dot)", -640, 640},
                                 {"目標Y(bl)", -640, 640},
                                 {"目標Y(dot)", -640, 640},
                             });
  Fill(FLOW_CMD_SHOT, cRows{{"グラフィック", 1, 120}, {"Z座標", 0, 7}} + kFormationRows +
                          cRows{
                              {"発射数", 1, 127},
                              {"発射数に対する分身数", 0, 20},
                              {"角度のズレ", -7200, 7200},
                              {"分身値による角度のズレ", -7200, 7200},
                              {"分散角度", 0, 180},
                              {"発射位置のズレX(dot)", -640, 640},
                              {"分身値による発射位置のズレX(dot)", -640, 640},
                              {"発射位置のズレY(dot)", -640, 640},
                              {"分身値による発射位置のズレY(dot)", -640, 640},
                              {"勢力", 0, 7},
                              {"移動タイプ固有1", 0, M},
                              {"移動タイプ固有2", 0, M},
                              {"移動タイプ固有3", 0, M},
                              {"速度", -200, 200},
                              {"分身値による増加速度", -200, 200},
                              {"加速度", -200, 200},
                              {"分身値による増加加速度", -200, 200},
                              {"飛距離(hbl)", 0, 64},
                              {"分身値による増加飛距離", -40, 40},
                              {"存在時間(1/10s)", 1, 999},
                              {"分身値よる増加存在時間", -99, 99},
                              {"消滅値", 1, 9},
                              {"威力", -999999, 999999},
                              {"衝撃", -20, 20},
                          });
  Fill(FLOW_CMD_SWORD, {{"勢力", 0, 7}, {"Z座標", 0, 7}, {"威力", -999999, 999999}, {"衝撃", -20, 20}});
  Fill(FLOW_CMD_SUMMON_BLOCK, kFormationRows + kSummonRows);
  Fill(FLOW_CMD_SUMMON_CHARA, kLifetimeRow + cRows{{"勢力", 0, 7}} + kFormationRows + kSummonRows);
  Fill(FLOW_CMD_SUMMON_ITEM, kLifetimeRow + kFormationRows + kSummonRows);
  Fill(FLOW_CMD_STAGE_CLEAR, {
                                 {"次のステージの番号", 1, 99},
                                 {"次のステージの初期位置X(bl)", 0, 999},
                                 {"次のステージの初期位置Y(bl)", 0, 999},
                                 {"クリア後のワールドマップの位置X", 0, 999},
                                 {"クリア後のワールドマップの位置Y", 0, 999},
                             });
  Fill(FLOW_CMD_MESSAGE, {
                             {"メッセージID", 0, 999},
                             {"座標X(bl)", 0, 20},
                             {"座標Y(bl)", 0, 15},
                             {"表示位置のズレX(dot)", -999, 999},
                             {"表示位置のズレY(dot)", -999, 999},
                         });
  Fill(FLOW_CMD_WARP, {
                          {"距離(hbl)", 0, 64},
                          {"分身値による増加距離(hbl)", -40, 40},
                          {"目標X(bl)", -640, 640},
                          {"目標Y(bl)", -640, 640},
                          {"目標Xのズレ(dot)", -640, 640},
                          {"目標Yのズレ(dot)", -640, 640},
                      });
  Fill(FLOW_CMD_SET_TARGET, {
                                {"対象勢力", 0, 7},
                                {"対象キャラID", 0, 99},
                                {"キャラ変数と比較する数値", -999999, 999999},
                            });
  Fill(FLOW_CMD_STATUS, {{"乱数の最小値", -999999, 999999}, {"乱数の最大値", -999999, 999999}});
  Fill(FLOW_CMD_ERASE, {{"対象勢力", 0, 7}});
  Fill(FLOW_CMD_CHANGE_GRAPHIC, {{"グラフィック", 1, 119}, {"ズレ", -999, 999}});
  Fill(FLOW_CMD_EFFECT, {
                            {"座標X(bl)", 0, 511},
                            {"座標Y(bl)", 0, 511},
                            {"表示位置のズレX(dot)", -999, 999},
                            {"表示位置のズレY(dot)", -999, 999},
                            {"表示倍率(%)", 1, 1000},
                        });
  Fill(FLOW_CMD_PICTURE, {
                             {"ピクチャーID", 0, 999},
                             {"座標X(bl)", 0, 511},
                             {"座標Y(bl)", 0, 511},
                             {"表示位置のズレX(dot)", -999, 999},
                             {"表示位置のズレY(dot)", -999, 999},
                             {"表示倍率(%)", 1, 1000},
                         });
  Fill(FLOW_CMD_SCREEN_COLOR, {{"R", 0, 255}, {"G", 0, 255}, {"B", 0, 255}, {"%", 0, 100}});
  Fill(FLOW_CMD_BACKGROUND, {{"背景番号", 1, 8}});
}
