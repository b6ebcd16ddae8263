#include "platform/OggEncoder.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cstring>

namespace plat {

namespace {

// A fixed stream serial number: the same samples give the same file.
constexpr int kSerialNumber = 0x4B34;
constexpr int kFramesPerFeed = 1024;

void AppendPage(const ogg_page& page, std::vector<std::uint8_t>& out) {
  out.insert(out.end(), page.header, page.header + page.header_len);
  out.insert(out.end(), page.body, page.body + page.body_len);
}

// Every libvorbis and libogg state of one encoding, cleared in reverse order.
struct sEncoder {
  vorbis_info info{};
  vorbis_comment comment{};
  vorbis_dsp_state dsp{};
  vorbis_block block{};
  ogg_stream_state stream{};
  bool analysing = false;

  sEncoder() {
    vorbis_info_init(&info);
    vorbis_comment_init(&comment);
  }
  ~sEncoder() {
    if (analysing) {
      ogg_stream_clear(&stream);
      vorbis_block_clear(&block);
      vorbis_dsp_clear(&dsp);
    }
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
  }

  // Takes every finished block out of the encoder and its pages into `out`.
  void Drain(std::vector<std::uint8_t>& out) {
    ogg_packet packet;
    ogg_page page;
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
      vorbis_analysis(&block, nullptr);
      vorbis_bitrate_addblock(&block);
      while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0) {
        ogg_stream_packetin(&stream, &packet);
        while (ogg_stream_pageout(&stream, &page) != 0) AppendPage(page, out);
      }
    }
  }
};

}  // namespace

bool EncodeOggVorbis(const std::vector<float>& samples, int channels, int samplesPerSecond, float quality,
                     std::vector<std::uint8_t>& out, std::string* error) {
  out.clear();
  if (channels != 1 && channels != 2) {
    if (error != nullptr) *error = "only mono and stereo can be encoded";
    return false;
  }
  sEncoder encoder;
  if (vorbis_encode_init_vbr(&encoder.info, channels, samplesPerSecond, quality) != 0) {
    if (error != nullptr) *error = "the encoder refuses this rate or quality";
    return false;
  }
  vorbis_analysis_init(&encoder.dsp, &encoder.info);
  vorbis_block_init(&encoder.dsp, &encoder.block);
  ogg_stream_init(&encoder.stream, kSerialNumber);
  encoder.analysing = true;

  ogg_packet header;
  ogg_packet commentHeader;
  ogg_packet codeHeader;
  vorbis_analysis_headerout(&encoder.dsp, &encoder.comment, &header, &commentHeader, &codeHeader);
  ogg_stream_packetin(&encoder.stream, &header);
  ogg_stream_packetin(&encoder.stream, &commentHeader);
  ogg_stream_packetin(&encoder.stream, &codeHeader);
  ogg_page page;
  // The headers on pages of their own, so the audio starts on a fresh page.
  while (ogg_stream_flush(&encoder.stream, &page) != 0) AppendPage(page, out);

  const std::size_t frames = samples.size() / static_cast<std::size_t>(channels);
  for (std::size_t done = 0; done < frames;) {
    const int feed = static_cast<int>(std::min<std::size_t>(kFramesPerFeed, frames - done));
    float** buffer = vorbis_analysis_buffer(&encoder.dsp, feed);
    for (int i = 0; i < feed; ++i) {
      for (int c = 0; c < channels; ++c) buffer[c][i] = samples[(done + i) * channels + c];
    }
    vorbis_analysis_wrote(&encoder.dsp, feed);
    encoder.Drain(out);
    done += static_cast<std::size_t>(feed);
  }
  vorbis_analysis_wrote(&encoder.dsp, 0);
  encoder.Drain(out);
  while (ogg_stream_flush(&encoder.stream, &page) != 0) AppendPage(page, out);
  return true;
}

}  // namespace plat
