// Every global object of the player is defined here, in one place, so their
// construction before the entry point and their destruction at exit follow
// one visible order.

#include "core/Thread.h"

// The thread objects. Each is idle until started; the main window ends them on
// close, and their destructors at exit find them idle.
cThread thGame;
cThread thPause;
cThread thWorker1;
cThread thWorker2;
