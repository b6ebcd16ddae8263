#pragma once
// The flow interpreter's global objects (the command-parameter table and the
// code language's error flag) are defined with every global object in
// app/Globals.cpp and declared in CmdParamDesc.h and CodeLanguage.h. Tests put
// them back with this.

// kCmdParamDesc built as start-up builds it, g_CodeError 0. Tests only.
void ResetFlowGlobalsForTests();
