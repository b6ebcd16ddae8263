#pragma once
// Helpers on program paths: CP932 bytes with backslash separators, relative to
// the working folder ("data\stg4\Stage1.stg4_781"). A full path starts with a
// backslash, in the form plat::CurrentDirectory gives ("\home\a\game\data").
//
// Only the folder-aware helpers (StripDirectory and the full/relative
// conversions) step over double-byte characters, since a trail byte can be
// 0x5C. The extension helpers look for the last "." of the whole text, folders
// included ("." is never a trail byte): a dot in a folder name counts.

#include <string>
#include <string_view>

// True when the path is not full: it starts neither with "\" or "/" nor with a
// drive ("C:").
bool IsRelativePath(std::string_view path);

// A full path becomes relative to the working folder ("data\x", "..\y").
// A relative path is left alone (true). False, with the path unchanged, when
// the working folder cannot be read or no relative path exists (a path on a
// drive).
bool ToRelativePath(std::string& path);
inline bool ToRelativePathString(std::string& path) { return ToRelativePath(path); }

// A relative path becomes a full one against the working folder, with "." and
// ".." resolved. A full path is left alone (true). False, with the path
// unchanged, when the working folder cannot be read.
bool ToFullPath(std::string& path);

// Keeps only the text after the last separator "\" (a 0x5C trail byte of a
// double-byte character is not one). Without a separator nothing changes.
void StripDirectory(std::string& path);

// `dest` becomes `source` with the text after its last "." replaced by
// `extension`, or cut at the dot when `extension` is null. False when there is
// no dot; `dest` then holds the unchanged source. `dest` may be `source`.
bool ChangeExtension(std::string& dest, std::string_view source, const char* extension);

// Removes the last "." and everything after it; false and no change without a dot.
bool RemoveExtension(std::string& path);
inline bool RemoveExtensionString(std::string& path) { return RemoveExtension(path); }

// `dest` becomes the text after the last "."; false (and `dest` unchanged)
// without a dot.
bool GetExtension(std::string& dest, std::string_view path);

// `dest` becomes `source` with "_", digit a and digit b inserted before its
// last ".": base.ext gives base_ab.ext. False (and `dest` unchanged) when the
// source has no dot or a digit lies outside 0-9. `dest` may be `source`.
bool InsertDigits(std::string& dest, std::string_view source, int digitA, int digitB);

// The newest numbered version of a file: the base name is `source` with its
// extension replaced by `extension` (a source without a dot is used as it is),
// then "<base>_999" down to "<base>_000" are tried and the first that is a
// regular file becomes `dest` (true). False, and `dest` unchanged, when none
// exists. `dest` may be `source`.
bool FindLastNumberedFile(std::string& dest, std::string_view source, const char* extension);
inline bool FindLastNumberedFileString(std::string& dest, std::string_view source, const char* extension) {
  return FindLastNumberedFile(dest, source, extension);
}
