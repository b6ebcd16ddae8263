// The translation unit that compiles the test programs' shared precompiled
// header; it holds nothing of its own.
