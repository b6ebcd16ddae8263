#pragma once
// The game's one random generator and the draws the game makes from it.
//
// Every random number of a stage (the expression language, status conditions,
// shot spread, hit-effect jitter) comes from g_Random through RandomRange, in a
// fixed order. Stage set-up seeds it with the attempt's seed, which a replay
// stores, so a replay draws the very same numbers.

#include <cstdint>

#include "platform/Random.h"

// The game's random generator: start-up seeds it with the clock, stage set-up
// with the attempt's seed; nothing else draws random numbers. Defined with
// every global object in app/Globals.cpp.
extern plat::cRandom g_Random;

// A random integer in [a, b] (the bounds are swapped when b < a): a plus the
// generator's next value modulo the number of values in the range. The
// generator gives 15 bits, so a range of more than 32768 values is only
// covered in its lowest 32768; any two i32 bounds are accepted.
std::int32_t RandomRange(std::int32_t a, std::int32_t b);
