// The MIDI output stream on the offline device with a recording synthesiser:
// event times from the time division and the tempo, what reaches the
// synthesiser, buffers done before their notice, stale notices after a stop,
// and the errors of the stream operations. Also: FluidSynth with the GM
// sound font makes sound.

#include "platform/MidiStreamOut.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <thread>
#include <vector>

namespace {

using plat::cMidiStreamOut;
using plat::sMidiHeader;
using plat::sMidiPositionNotice;
using plat::sMidiRecordedEvent;
using eKind = plat::sMidiRecordedEvent::eKind;

// A buffer of stream events built word by word.
class cEvents {
 public:
  cEvents& Event(std::uint32_t delta, std::uint32_t word, std::vector<std::uint8_t> data = {}) {
    Word(delta);
    Word(0);
    Word(word);
    data.resize((data.size() + 3) & ~std::size_t{3}, 0);
    m_Bytes.insert(m_Bytes.end(), data.begin(), data.end());
    return *this;
  }
  // Points the header at the events.
  void Into(sMidiHeader& header) {
    header.lpData = m_Bytes.data();
    header.dwBufferLength = static_cast<std::uint32_t>(m_Bytes.size());
    header.dwBytesRecorded = header.dwBufferLength;
  }

 private:
  void Word(std::uint32_t value) {
    for (int i = 0; i < 4; ++i) m_Bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  }
  std::vector<std::uint8_t> m_Bytes;
};

class MidiStreamOutTest : public ::testing::Test {
 protected:
  MidiStreamOutTest() {
    plat::SetMidiSynthFactory(
        [record = m_Record](std::string*) { return std::make_unique<plat::cRecordingMidiSynth>(record); });
    EXPECT_EQ(cMidiStreamOut::Open(m_Device, m_Stream), plat::MIDI_OK);
  }
  ~MidiStreamOutTest() override {
    m_Stream.reset();
    plat::SetMidiSynthFactory({});
  }

  void Queue(sMidiHeader& header) {
    ASSERT_EQ(m_Stream->PrepareHeader(&header), plat::MIDI_OK);
    ASSERT_EQ(m_Stream->Out(&header), plat::MIDI_OK);
  }

  std::shared_ptr<plat::cOfflineAudioDevice> m_Device = std::make_shared<plat::cOfflineAudioDevice>();
  std::shared_ptr<plat::cMidiRecord> m_Record = std::make_shared<plat::cMidiRecord>();
  std::unique_ptr<cMidiStreamOut> m_Stream;
};

TEST_F(MidiStreamOutTest, EventsSoundAtTheirTicksUnderTheDivisionAndTheTempo) {
  // 96 ticks a quarter note at 500000 microseconds: 96 ticks are 22050 frames;
  // at 250000 microseconds they are 11025.
  cEvents events;
  events.Event(0, 0x00643C90)                                      // note on
      .Event(96, 0x00003C90)                                       // note off, half a second later
      .Event(0, 0x0103D090)                                        // tempo 250000
      .Event(96, 0x000005C1)                                       // program change, a quarter second later
      .Event(48, plat::MEVT_F_LONG | 6, {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7})  // system exclusive
      .Event(0, 0x00002FFF)                                        // a system status: not sent
      .Event(0, std::uint32_t{plat::MEVT_NOP} << 24);
  sMidiHeader header;
  events.Into(header);
  ASSERT_EQ(m_Stream->SetTimeDivision(96), plat::MIDI_OK);
  Queue(header);
  EXPECT_TRUE(m_Device->Render(100) == std::vector<std::int16_t>(200, 0));
  EXPECT_TRUE(m_Record->Events().empty()) << "a stream starts paused";
  ASSERT_EQ(m_Stream->Restart(), plat::MIDI_OK);
  m_Device->Render(40000);
  const std::vector<sMidiRecordedEvent> expected = {
      {100, eKind::Short, {0x90, 0x3C, 0x64}},
      {100 + 22050, eKind::Short, {0x90, 0x3C, 0x00}},
      {100 + 22050 + 11025, eKind::Short, {0xC1, 0x05}},
      {100 + 22050 + 11025 + 5513, eKind::Long, {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}},
  };
  EXPECT_EQ(m_Record->Events(), expected);
  EXPECT_EQ(header.dwFlags.load() & (plat::MHDR_DONE | plat::MHDR_INQUEUE), plat::MHDR_DONE);
}

TEST_F(MidiStreamOutTest, APauseHoldsTheTimeAndANoticeComesAfterItsBufferIsDone) {
  cEvents events;
  events.Event(0, 0x00643C90).Event(96, plat::MEVT_F_CALLBACK | 0x00003C90);
  sMidiHeader header;
  events.Into(header);
  ASSERT_EQ(m_Stream->SetTimeDivision(96), plat::MIDI_OK);
  Queue(header);
  m_Stream->Restart();
  m_Device->Render(10000);
  m_Stream->Pause();
  m_Device->Render(50000);
  EXPECT_EQ(m_Record->Events().size(), 1u) << "paused before the second event";
  m_Stream->Restart();
  m_Device->Render(12100);
  ASSERT_EQ(m_Record->Events().size(), 2u);
  EXPECT_EQ(m_Record->Events()[1].frame, 10000u + 50000u + 12050u);

  sMidiPositionNotice notice;
  ASSERT_TRUE(m_Stream->WaitNotice(&notice));
  EXPECT_EQ(notice.header, &header);
  EXPECT_EQ(notice.offset, 12u);
  EXPECT_EQ(notice.event, plat::MEVT_F_CALLBACK | 0x00003C90);
  EXPECT_EQ(header.dwOffset, 12u);
  EXPECT_EQ(header.dwFlags.load() & plat::MHDR_INQUEUE, 0u) << "the buffer can be filled again";
  EXPECT_TRUE(m_Stream->IsCurrent(notice));
}

// A stop lets the notes fade and keeps the programs (ResetChannels); a reset
// silences every channel at once. Both drop the buffers and their notices.
TEST_F(MidiStreamOutTest, AStopReleasesTheNotesReturnsTheBuffersAndMakesNoticesStale) {
  const struct {
    const char* label;
    int (cMidiStreamOut::*stop)();
    eKind heard;
  } stops[] = {{"reset", &cMidiStreamOut::Reset, eKind::Silence}, {"stop", &cMidiStreamOut::Stop, eKind::ResetChannels}};
  cEvents events;
  events.Event(0, plat::MEVT_F_CALLBACK | 0x00643C90).Event(960, 0x00003C90);
  sMidiHeader header;
  events.Into(header);
  for (const auto& test : stops) {
    // Each on a stream of its own: the notice taken here is never handed back.
    std::unique_ptr<cMidiStreamOut> stream;
    ASSERT_EQ(cMidiStreamOut::Open(m_Device, stream), plat::MIDI_OK);
    std::swap(stream, m_Stream);
    stream.reset();
    m_Record->Clear();
    Queue(header);
    m_Stream->Restart();
    m_Device->Render(10);
    sMidiPositionNotice notice;
    ASSERT_TRUE(m_Stream->WaitNotice(&notice)) << test.label;
    EXPECT_TRUE(m_Stream->IsCurrent(notice)) << test.label;
    EXPECT_EQ((m_Stream.get()->*test.stop)(), plat::MIDI_OK) << test.label;
    EXPECT_FALSE(m_Stream->IsCurrent(notice)) << test.label;
    EXPECT_EQ(header.dwFlags.load() & (plat::MHDR_DONE | plat::MHDR_INQUEUE), plat::MHDR_DONE) << test.label;
    ASSERT_EQ(m_Record->Events().size(), 2u) << test.label;
    EXPECT_EQ(m_Record->Events().back().kind, test.heard) << test.label;
  }
  m_Record->Clear();

  // A callback thread takes the stale notice as handled and waits for the next.
  bool waitEnded = false;
  std::thread callbackThread([this, &waitEnded] {
    sMidiPositionNotice next;
    while (m_Stream->WaitNotice(&next)) {
    }
    waitEnded = true;
  });
  m_Device->Render(1000000);
  EXPECT_TRUE(m_Record->Events().empty()) << "the dropped buffers play no more";

  EXPECT_EQ(m_Stream->Close(), plat::MIDI_OK);
  callbackThread.join();
  EXPECT_TRUE(waitEnded) << "a closed stream ends the callback thread's wait";
  EXPECT_EQ(m_Stream->Out(&header), plat::MIDI_ERR_INVALID_HANDLE);
}

TEST_F(MidiStreamOutTest, TheOperationsRefuseWhatTheyCannotDo) {
  EXPECT_EQ(m_Stream->SetTimeDivision(0), plat::MIDI_ERR_INVALID_PARAM);
  EXPECT_EQ(m_Stream->SetTimeDivision(0x10000), plat::MIDI_ERR_INVALID_PARAM);
  EXPECT_EQ(m_Stream->SetTimeDivision(0xE700), plat::MIDI_ERR_INVALID_PARAM) << "SMPTE without ticks";
  EXPECT_EQ(m_Stream->SetTimeDivision(0xE728), plat::MIDI_OK) << "25 frames of 40 ticks";
  EXPECT_EQ(m_Stream->SetTimeDivision(480), plat::MIDI_OK);

  cEvents events;
  events.Event(0, 0x00643C90).Event(100000, 0x00003C90);
  sMidiHeader header;
  events.Into(header);
  EXPECT_EQ(m_Stream->Out(&header), plat::MIDI_ERR_UNPREPARED);
  Queue(header);
  EXPECT_EQ(m_Stream->Out(&header), plat::MIDI_ERR_STILL_PLAYING);
  EXPECT_EQ(m_Stream->UnprepareHeader(&header), plat::MIDI_ERR_STILL_PLAYING);
  sMidiHeader empty;
  EXPECT_EQ(m_Stream->PrepareHeader(&empty), plat::MIDI_ERR_INVALID_PARAM);
  m_Stream->Reset();
  EXPECT_EQ(m_Stream->UnprepareHeader(&header), plat::MIDI_OK);
}

TEST(MidiSynthTest, FluidSynthWithTheGeneralMidiSoundFontSounds) {
  std::string error;
  std::unique_ptr<plat::cMidiSynth> synth = plat::CreateFluidMidiSynth(&error);
  ASSERT_NE(synth, nullptr) << error;
  auto loudness = [&synth] {
    std::vector<float> mix(2 * 4410, 0.0f);
    synth->Render(mix.data(), 4410);
    double energy = 0.0;
    for (float s : mix) energy += static_cast<double>(s) * s;
    return std::sqrt(energy / static_cast<double>(mix.size()));
  };
  EXPECT_LT(loudness(), 1.0) << "silent before a note";
  synth->ShortMessage(0x00643C90);
  EXPECT_GT(loudness(), 100.0);
  // The notes end within one mixing block of 1024 frames (FluidSynth fades
  // them over its first 64), the effects' tails with them.
  synth->Silence();
  std::vector<float> fade(2 * 1024, 0.0f);
  synth->Render(fade.data(), 1024);
  EXPECT_LT(loudness(), 1.0) << "silenced";

  // The next stream's synthesiser is this one again, reset: quiet, and it
  // still sounds.
  synth->ShortMessage(0x00643C90);
  synth.reset();
  synth = plat::CreateFluidMidiSynth(&error);
  ASSERT_NE(synth, nullptr) << error;
  EXPECT_LT(loudness(), 50.0);
  synth->ShortMessage(0x00643C90);
  EXPECT_GT(loudness(), 100.0);
}

// A church organ note held by the sustain pedal, then a channel reset or a
// silence, then the same note again without a program change. The reset lets
// the note fade through its release (gone within a second) and keeps the
// organ, which holds its level; the silence ends it at once and the program
// goes back to the piano, which dies away.
TEST(MidiSynthTest, AChannelResetLetsHeldNotesFadeAndKeepsTheInstrument) {
  std::string error;
  std::unique_ptr<plat::cMidiSynth> synth = plat::CreateFluidMidiSynth(&error);
  ASSERT_NE(synth, nullptr) << error;
  auto loudness = [&synth](int frames) {
    std::vector<float> mix(2 * static_cast<std::size_t>(frames), 0.0f);
    synth->Render(mix.data(), frames);
    double energy = 0.0;
    for (float s : mix) energy += static_cast<double>(s) * s;
    return std::sqrt(energy / static_cast<double>(mix.size()));
  };
  const struct {
    const char* label;
    void (plat::cMidiSynth::*stop)();
    bool fades;
    bool organKept;
  } cases[] = {{"channel reset", &plat::cMidiSynth::ResetChannels, true, true},
               {"silence", &plat::cMidiSynth::Silence, false, false}};
  for (const auto& test : cases) {
    synth->ShortMessage(0x13C0);    // church organ
    synth->ShortMessage(0x7F40B0);  // sustain pedal down
    synth->ShortMessage(0x643C90);
    loudness(4410);
    synth->ShortMessage(0x003C90);
    EXPECT_GT(loudness(44100), 100.0) << test.label << ": the pedal holds the note";
    (synth.get()->*test.stop)();
    EXPECT_EQ(loudness(4410) > 100.0, test.fades) << test.label;
    loudness(4410 * 8);
    EXPECT_LT(loudness(4410), 1.0) << test.label << ": gone within a second";
    synth->ShortMessage(0x643C90);
    loudness(3 * 44100);
    EXPECT_EQ(loudness(4410) > 300.0, test.organKept) << test.label << ": the instrument three seconds on";
    synth->Silence();
  }
}

}  // namespace
