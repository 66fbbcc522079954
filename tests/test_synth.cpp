// The synthesizer's building blocks and voices: band-limiting, envelope
// shapes, filter stability and response, effects, the limiter's ceiling, and
// that every render is reproducible.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "tools/synth/dsp.h"
#include "tools/synth/render.h"
#include "tools/synth/voices.h"

namespace {

// Power of every DFT bin 0..n/2 of `x` (n = x.size()).
std::vector<double> PowerSpectrum(const std::vector<float>& x) {
  const size_t n = x.size();
  std::vector<std::complex<double>> twiddle(n);
  for (size_t i = 0; i < n; ++i) twiddle[i] = std::polar(1.0, -2.0 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(n));
  std::vector<double> power(n / 2 + 1);
  for (size_t k = 0; k <= n / 2; ++k) {
    std::complex<double> sum = 0.0;
    for (size_t i = 0; i < n; ++i) sum += static_cast<double>(x[i]) * twiddle[(k * i) % n];
    power[k] = std::norm(sum);
  }
  return power;
}

// Energy that is not on a harmonic of bin `fundamental`, relative to the
// harmonics' energy, in dB. The fundamental sits exactly on a bin so a
// periodic wave leaks nothing: whatever lies between harmonics is aliasing.
double AliasingDb(const std::vector<float>& wave, size_t fundamental) {
  const std::vector<double> power = PowerSpectrum(wave);
  double harmonic = 0.0, alias = 0.0;
  for (size_t k = 1; k < power.size(); ++k) (k % fundamental == 0 ? harmonic : alias) += power[k];
  return 10.0 * std::log10(alias / harmonic);
}

float SineGainDb(Svf& filter, bool low, float hz) {
  Oscillator sine;
  sine.SetFrequency(hz);
  float peak = 0.0f;
  for (int i = 0; i < kSampleRate / 2; ++i) {
    const Svf::Outputs out = filter.Process(sine.Sine());
    if (i > kSampleRate / 4) peak = std::max(peak, std::fabs(low ? out.low : out.high));
  }
  return 20.0f * std::log10(peak);
}

float Peak(const std::vector<float>& x) {
  float p = 0.0f;
  for (float v : x) p = std::max(p, std::fabs(v));
  return p;
}

// A wave at 223 / 4096 of the sample rate (about 2.4 kHz): its harmonics
// above the 9th fold back below Nyquist when the wave is not band-limited.
constexpr size_t kBins = 4096, kFundamentalBin = 223;

TEST(SynthOscillator, SawAndSquareAreBandLimited) {
  Oscillator saw, square;
  const float hz = static_cast<float>(kFundamentalBin) * kSampleRate / kBins;
  saw.SetFrequency(hz);
  square.SetFrequency(hz);
  std::vector<float> blepSaw(kBins), blepSquare(kBins), naiveSaw(kBins);
  for (size_t i = 0; i < kBins; ++i) {
    blepSaw[i] = saw.Saw();
    blepSquare[i] = square.Square();
    const float t = static_cast<float>((i * kFundamentalBin) % kBins) / kBins;
    naiveSaw[i] = 2.0f * t - 1.0f;
  }
  const double naive = AliasingDb(naiveSaw, kFundamentalBin);
  EXPECT_GT(naive, -22.0) << "the reference naive saw should alias strongly";
  EXPECT_LT(AliasingDb(blepSaw, kFundamentalBin), naive - 12.0);
  EXPECT_LT(AliasingDb(blepSquare, kFundamentalBin), -30.0);
}

TEST(SynthOscillator, WaveformsKeepTheirShape) {
  // A slow saw is a ramp from -1 to 1; a pulse's mean is 2 width - 1.
  Oscillator saw, pulse;
  saw.SetFrequency(100.0f);
  pulse.SetFrequency(100.0f);
  double pulseSum = 0.0;
  float sawMin = 1.0f, sawMax = -1.0f;
  const int period = kSampleRate / 100;
  for (int i = 0; i < 10 * period; ++i) {
    const float s = saw.Saw();
    sawMin = std::min(sawMin, s);
    sawMax = std::max(sawMax, s);
    pulseSum += pulse.Square(0.3f);
  }
  EXPECT_NEAR(sawMin, -1.0f, 0.05f);
  EXPECT_NEAR(sawMax, 1.0f, 0.05f);
  EXPECT_NEAR(pulseSum / (10 * period), -0.4, 0.01);
}

TEST(SynthNoise, SeededUniformAndReproducible) {
  Noise a(7), b(7), c(8);
  double sum = 0.0, squares = 0.0;
  bool differs = false;
  const int n = 100000;
  for (int i = 0; i < n; ++i) {
    const float x = a.Next();
    ASSERT_GE(x, -1.0f);
    ASSERT_LT(x, 1.0f);
    ASSERT_EQ(x, b.Next());
    differs |= x != c.Next();
    sum += x;
    squares += x * x;
  }
  EXPECT_TRUE(differs);
  EXPECT_NEAR(sum / n, 0.0, 0.01);
  EXPECT_NEAR(squares / n, 1.0 / 3.0, 0.01);  // variance of uniform [-1, 1)
}

TEST(SynthEnvelope, AdsrSegments) {
  const float attack = 0.01f, decay = 0.1f, sustain = 0.5f, release = 0.2f;
  Adsr env(attack, decay, sustain, release);
  std::vector<float> level;
  const int gate = static_cast<int>(0.5f * kSampleRate);
  for (int i = 0; i < gate; ++i) level.push_back(env.Next());
  env.NoteOff();
  while (!env.Done() && level.size() < static_cast<size_t>(2 * kSampleRate)) level.push_back(env.Next());

  const int attackEnd = static_cast<int>(attack * kSampleRate);
  EXPECT_EQ(level[0], 0.0f);
  EXPECT_NEAR(level[attackEnd / 2], 0.5f, 0.01f);  // linear attack
  EXPECT_NEAR(level[attackEnd], 1.0f, 0.01f);
  const int decayEnd = attackEnd + static_cast<int>(decay * kSampleRate);
  EXPECT_NEAR(level[decayEnd], sustain, 0.02f * (1.0f - sustain));
  EXPECT_NEAR(level[gate - 1], sustain, 1e-3f);
  for (int i = attackEnd + 1; i < gate; ++i) ASSERT_LE(level[i], level[i - 1] + 1e-6f) << "decay must not rise";
  // Release: from the sustain level down to -80 dB in about `release` s.
  const float releaseSeconds = static_cast<float>(level.size() - gate) / kSampleRate;
  EXPECT_TRUE(env.Done());
  EXPECT_NEAR(releaseSeconds, release * std::log(sustain / 1e-4f) / 4.0f, 0.01f);
}

TEST(SynthFilter, StateVariableResponse) {
  Svf lowPass, highPass;
  lowPass.Set(500.0f, 0.7071f);
  highPass.Set(500.0f, 0.7071f);
  EXPECT_NEAR(SineGainDb(lowPass, true, 50.0f), 0.0f, 0.5f);
  EXPECT_LT(SineGainDb(lowPass, true, 10000.0f), -45.0f);  // 12 dB per octave
  EXPECT_LT(SineGainDb(highPass, false, 50.0f), -35.0f);
  Svf resonant;
  resonant.Set(1000.0f, 8.0f);
  EXPECT_NEAR(SineGainDb(resonant, true, 1000.0f), 20.0f * std::log10(8.0f), 0.5f);  // gain Q at cutoff
}

TEST(SynthFilter, StableUnderExtremeModulation) {
  // Full resonance and a cutoff jumping anywhere between 10 Hz and Nyquist
  // every sample: a naive filter blows up here, this one stays bounded.
  Svf filter;
  Noise noise(3), jump(4);
  float peak = 0.0f;
  for (int i = 0; i < 5 * kSampleRate; ++i) {
    filter.Set(10.0f * std::pow(2200.0f, 0.5f * (jump.Next() + 1.0f)), 40.0f);
    const Svf::Outputs out = filter.Process(noise.Next());
    ASSERT_TRUE(std::isfinite(out.low) && std::isfinite(out.band) && std::isfinite(out.high)) << "sample " << i;
    peak = std::max({peak, std::fabs(out.low), std::fabs(out.band)});
  }
  EXPECT_LT(peak, 200.0f);
}

TEST(SynthEffects, DelayPingPongsAndDecays) {
  const float seconds = 0.01f, feedback = 0.5f;
  StereoDelay delay(seconds, feedback, 20000.0f);
  const size_t d = static_cast<size_t>(seconds * kSampleRate + 0.5f);
  std::vector<float> left(5 * d, 0.0f), right(5 * d, 0.0f);
  left[0] = 2.0f;  // mono sum 1.0
  delay.Process(left.data(), right.data(), left.size());
  const auto strongest = [](const std::vector<float>& x, size_t from, size_t to) {
    return std::max_element(x.begin() + from, x.begin() + to,
                            [](float a, float b) { return std::fabs(a) < std::fabs(b); }) - x.begin();
  };
  EXPECT_EQ(static_cast<size_t>(strongest(left, 0, 2 * d)), d);       // first echo, left
  EXPECT_EQ(static_cast<size_t>(strongest(right, 0, 3 * d)), 2 * d);  // then right
  EXPECT_EQ(static_cast<size_t>(strongest(left, 2 * d + 1, 4 * d)), 3 * d);
  EXPECT_NEAR(left[d], 1.0f, 1e-6f);
  EXPECT_LT(std::fabs(left[3 * d]), feedback * feedback * 1.01f);
}

TEST(SynthEffects, ReverbTailIsStereoFiniteAndDies) {
  Reverb reverb(0.86f, 0.3f);
  const size_t n = 8 * kSampleRate;
  std::vector<float> left(n, 0.0f), right(n, 0.0f);
  left[0] = right[0] = 1.0f;
  reverb.Process(left.data(), right.data(), n);
  const auto energy = [&](const std::vector<float>& x, size_t from, size_t to) {
    double e = 0.0;
    for (size_t i = from; i < to; ++i) e += static_cast<double>(x[i]) * x[i];
    return e;
  };
  const double early = energy(left, 0, kSampleRate), late = energy(left, 6 * kSampleRate, n);
  EXPECT_GT(early, 1e-4);
  EXPECT_LT(late, early * 1e-4);  // more than 40 dB down after six seconds
  EXPECT_NE(left, right);         // decorrelated sides make the width
  for (float v : left) ASSERT_TRUE(std::isfinite(v));
}

TEST(SynthLimiter, NeverExceedsCeilingAndPassesQuietSignalsUntouched) {
  const float ceiling = 0.8f;
  Limiter limiter(ceiling, 64, 0.05f);
  Noise noise(11);
  const size_t n = 3 * kSampleRate;
  std::vector<float> left(n), right(n);
  for (size_t i = 0; i < n; ++i) {
    // Bursts up to 12 dB over the ceiling, single-sample spikes, silence.
    const float level = (i / 5000) % 3 == 0 ? 3.2f : (i / 5000) % 3 == 1 ? 0.3f : 0.0f;
    left[i] = level * noise.Next();
    right[i] = (i % 9973 == 0) ? 4.0f : level * noise.Next();
  }
  limiter.Process(left.data(), right.data(), n);
  EXPECT_LE(std::max(Peak(left), Peak(right)), ceiling);
  EXPECT_GT(Peak(left), 0.9f * ceiling);  // it limits, it does not just mute

  Limiter quiet(ceiling, 64, 0.05f);
  std::vector<float> in(4096), l(4096), r(4096);
  for (size_t i = 0; i < in.size(); ++i) in[i] = l[i] = r[i] = 0.5f * noise.Next();
  quiet.Process(l.data(), r.data(), l.size());
  for (size_t i = quiet.Latency(); i < in.size(); ++i) ASSERT_EQ(l[i], in[i - quiet.Latency()]) << i;
}

TEST(SynthVoices, KickStartsAtItsOnsetAndIsChoked) {
  StereoBuffer out(kSampleRate);
  const size_t start = 1000, choke = 4410;
  RenderKick(out, {start, choke, 0.7f, 0.0f, 1}, KickSound{});
  for (size_t i = 0; i < start; ++i) ASSERT_EQ(out.left[i], 0.0f);
  // Loud within the first two milliseconds: the sync time is what one hears.
  float early = 0.0f;
  for (size_t i = start; i < start + 88; ++i) early = std::max(early, std::fabs(out.left[i]));
  EXPECT_GT(early, 0.3f);
  EXPECT_EQ(out.left[start + choke + 200], 0.0f);  // silent once the next kick takes over
  EXPECT_EQ(out.left, out.right);                   // centred
}

TEST(SynthVoices, PitchedVoicesSoundAtTheirNote) {
  // The period of a held A3 (220 Hz): the lag of the strongest
  // autocorrelation between 100 and 400 Hz.
  const auto pitchHz = [](const StereoBuffer& b, size_t from, size_t to) {
    size_t bestLag = 0;
    double best = -1e30;
    for (size_t lag = kSampleRate / 400; lag <= kSampleRate / 100; ++lag) {
      double sum = 0.0;
      for (size_t i = from; i + lag < to; ++i) sum += static_cast<double>(b.left[i]) * b.left[i + lag];
      if (sum > best) best = sum, bestLag = lag;
    }
    return static_cast<float>(kSampleRate) / static_cast<float>(bestLag);
  };
  const size_t gate = kSampleRate;
  StereoBuffer bass(2 * gate), lead(2 * gate);
  RenderBass(bass, {0, gate, 0.5f, 0.0f, 1}, 57.0f, BassSound{});
  RenderLead(lead, {0, gate, 0.5f, 0.0f, 1}, 57.0f, 300.0f);
  EXPECT_NEAR(pitchHz(bass, gate / 4, gate / 2), 220.0f, 2.0f);
  EXPECT_NEAR(pitchHz(lead, gate / 4, gate / 2), 220.0f, 4.0f);  // with vibrato
  EXPECT_EQ(bass.left[gate + gate / 2], 0.0f);                   // released and ended
}

TEST(SynthRender, ScoreRendersReproduciblyAndWithinTheCeiling) {
  Score score;
  for (int beat = 0; beat < 8; ++beat) {
    score.notes.push_back({Instrument::Kick, beat * 24, 0, 0.0f, 1.0f, 0.0f, 0.2f});
    score.notes.push_back({Instrument::OpenHat, beat * 24 + 12, 0, 0.0f, 1.0f, 0.3f, 0.5f});
    score.notes.push_back({Instrument::Pad, beat * 24, 24, 57.0f + beat, 1.0f, -0.5f, 0.8f});
  }
  score.lengthTicks = 2 * kTicksPerBar;
  const std::vector<int16_t> first = RenderScore(score);
  const std::vector<int16_t> second = RenderScore(score);
  ASSERT_EQ(first.size(), 2 * TickSample(score.lengthTicks));
  EXPECT_EQ(first, second);
  int16_t peak = 0;
  for (int16_t s : first) peak = std::max<int16_t>(peak, static_cast<int16_t>(std::abs(s)));
  EXPECT_LE(peak, static_cast<int16_t>(kMasterCeiling * 32767.0f + 1.0f));
  EXPECT_GT(peak, 3000);
}

TEST(SynthRender, NotesStartOnTheirTickSample) {
  // The limiter's look-ahead delay is taken out: a kick at tick 5 is silent
  // before sample 5 * 882 and sounding right after it.
  Score score;
  score.notes.push_back({Instrument::Kick, 5, 0, 0.0f, 1.0f, 0.0f, 0.2f});
  score.lengthTicks = 20;
  const std::vector<int16_t> pcm = RenderScore(score);
  const size_t onset = TickSample(5);
  for (size_t i = 0; i < onset; ++i) ASSERT_EQ(pcm[2 * i], 0) << i;
  EXPECT_GT(std::abs(pcm[2 * (onset + 20)]), 1000);
}

}  // namespace
