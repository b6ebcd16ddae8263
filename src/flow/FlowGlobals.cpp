#include "flow/FlowGlobals.h"

#include "flow/CmdParamDesc.h"
#include "flow/CodeLanguage.h"

void ResetFlowGlobalsForTests() {
  BuildCmdParamDesc();
  g_CodeError = 0;
}
