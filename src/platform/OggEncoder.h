#pragma once
// Writing Ogg Vorbis (libvorbisenc): the sample game's music and the tests'
// small tunes. The player itself only reads Ogg files.

#include <cstdint>
#include <string>
#include <vector>

namespace plat {

// Encodes interleaved samples (-1..1, `channels` of 1 or 2) at the given
// quality (-0.1 to 1). The same input always gives the same bytes. False
// (reason in *error) when the encoder refuses the parameters.
bool EncodeOggVorbis(const std::vector<float>& samples, int channels, int samplesPerSecond, float quality,
                     std::vector<std::uint8_t>& out, std::string* error = nullptr);

}  // namespace plat
