#include "tools/mkdemo/Sounds.h"

#include "tools/fixtures/OggWriter.h"
#include "tools/fixtures/WaveWriter.h"
#include "tools/mkdemo/Scenery.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace demo {
namespace {
constexpr double kPi = 3.14159265358979;
using Signal = std::vector<float>;

double NoteHz(int midi) {
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}
int Samples(double seconds) {
    return static_cast<int>(seconds * kSoundRate);
}

enum class Voice { Piano, Flute, Bell, Pluck };

// One note added into the signal at `start` (samples), `length` samples long plus its release.
void AddNote(Signal& s, int start, int length, double hz, double gain, Voice voice) {
    const int release = Samples(voice == Voice::Bell ? 0.6 : 0.12);
    const int total = length + release;
    for (int i = 0; i < total; ++i) {
        const std::size_t at = static_cast<std::size_t>(start + i);
        if (at >= s.size()) break;
        const double t = static_cast<double>(i) / kSoundRate;
        double env = i < length ? 1.0 : 1.0 - static_cast<double>(i - length) / release;
        double v = 0;
        switch (voice) {
        case Voice::Piano:
            env *= std::exp(-t * 3.0) * std::min(1.0, t * 400);
            v = std::sin(2 * kPi * hz * t) + 0.35 * std::sin(4 * kPi * hz * t) +
                0.12 * std::sin(6 * kPi * hz * t);
            break;
        case Voice::Flute:
            env *= std::min(1.0, t * 25);
            v = std::sin(2 * kPi * hz * t + 0.16 * std::sin(2 * kPi * 5.5 * t)) +
                0.15 * std::sin(4 * kPi * hz * t);
            break;
        case Voice::Bell:
            env *= std::exp(-t * 2.2) * std::min(1.0, t * 800);
            v = std::sin(2 * kPi * hz * t) + 0.4 * std::sin(2 * kPi * hz * 2.76 * t) * std::exp(-t * 4);
            break;
        case Voice::Pluck:
            env *= std::exp(-t * 6.0) * std::min(1.0, t * 600);
            v = 2.0 / kPi * std::asin(std::sin(2 * kPi * hz * t)); // a triangle
            break;
        }
        s[at] += static_cast<float>(v * env * gain);
    }
}

void AddNoise(Signal& s, int start, int length, double gain, Random& r) {
    for (int i = 0; i < length; ++i) {
        const std::size_t at = static_cast<std::size_t>(start + i);
        if (at >= s.size()) break;
        const double env = std::exp(-static_cast<double>(i) / length * 5);
        s[at] += static_cast<float>((static_cast<int>(r.Next() % 2001) - 1000) / 1000.0 * env * gain);
    }
}

void AddKick(Signal& s, int start, double gain) {
    const int n = Samples(0.18);
    for (int i = 0; i < n; ++i) {
        const std::size_t at = static_cast<std::size_t>(start + i);
        if (at >= s.size()) break;
        const double t = static_cast<double>(i) / kSoundRate;
        s[at] += static_cast<float>(std::sin(2 * kPi * (55 + 90 * std::exp(-t * 30)) * t) *
                                    std::exp(-t * 18) * gain);
    }
}

// Samples scaled so that the loudest reaches `level` of full scale.
std::vector<short> ToPcm(const Signal& s, float level = 0.8f) {
    float peak = 0.0001f;
    for (float v : s)
        peak = std::max(peak, std::abs(v));
    const float scale = level / peak * 32767.0f;
    std::vector<short> out(s.size());
    for (std::size_t i = 0; i < s.size(); ++i)
        out[i] = static_cast<short>(std::lround(s[i] * scale));
    return out;
}

Bytes Wave(const Signal& s, float level = 0.8f) {
    fixtures::WaveDesc d;
    d.channels = 1;
    d.bits = 16;
    d.rate = kSoundRate;
    for (short v : ToPcm(s, level)) {
        d.pcm.push_back(static_cast<unsigned char>(v & 0xFF));
        d.pcm.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
    }
    return fixtures::WriteWave(d);
}

// A tail that rings past the loop's end is folded onto its start, so the loop has no seam.
void FoldTail(Signal& s, std::size_t loopLength) {
    for (std::size_t i = loopLength; i < s.size(); ++i)
        s[i - loopLength] += s[i];
    s.resize(loopLength);
}

struct Track {
    int root; // MIDI note of the key
    bool minor;
    int bpm;
    int bars;
    int progression[4]; // scale degrees 0-6 of the bars' chords, repeating
    Voice lead;
    bool drums;
};
constexpr Track kTracks[kTrackCount] = {
    {60, false, 100, 4, {0, 4, 5, 3}, Voice::Piano, false}, // morning walk
    {65, false, 92, 4, {0, 3, 4, 0}, Voice::Flute, false},  // the extras' theme
    {57, true, 84, 8, {0, 5, 2, 6}, Voice::Piano, false},   // title
    {67, false, 112, 4, {0, 5, 3, 4}, Voice::Pluck, true},  // everyday
    {62, false, 120, 4, {0, 3, 5, 4}, Voice::Pluck, true},  // classroom
    {64, true, 88, 4, {0, 5, 3, 4}, Voice::Flute, false},   // evening
    {58, false, 96, 4, {0, 2, 3, 4}, Voice::Piano, true},   // street lights
    {57, true, 72, 4, {0, 3, 6, 4}, Voice::Bell, false},    // night
    {60, false, 104, 4, {0, 3, 4, 0}, Voice::Bell, false},  // the sound room's own
    {62, true, 116, 4, {0, 6, 5, 4}, Voice::Pluck, true},   // tension
    {64, false, 100, 4, {0, 4, 5, 3}, Voice::Flute, true},  // sea breeze
    {65, true, 80, 4, {0, 5, 3, 4}, Voice::Piano, false},   // memories
    {69, false, 132, 4, {0, 3, 4, 4}, Voice::Pluck, true},  // festival
    {60, true, 76, 4, {0, 5, 6, 4}, Voice::Bell, false},    // rain
    {62, false, 90, 8, {0, 4, 5, 3}, Voice::Piano, false},  // ending
};

int ScaleNote(const Track& t, int degree) {
    static const int kMajor[7] = {0, 2, 4, 5, 7, 9, 11};
    static const int kMinor[7] = {0, 2, 3, 5, 7, 8, 10};
    const int octave = (degree >= 0 ? degree / 7 : (degree - 6) / 7);
    const int d = degree - octave * 7;
    return t.root + 12 * octave + (t.minor ? kMinor[d] : kMajor[d]);
}

Signal Music(int index) {
    const Track& t = kTracks[index];
    const int beat = Samples(60.0 / t.bpm);
    const int bar = beat * 4;
    const std::size_t loop = static_cast<std::size_t>(bar) * t.bars;
    Signal s(loop + static_cast<std::size_t>(Samples(1.0)), 0.0f);
    Random r(static_cast<std::uint32_t>(index * 977 + 5));
    // A melody motif of eight eighth notes per bar, repeated with a variation in the second half.
    int motif[8];
    for (int& m : motif)
        m = r.Range(0, 5);
    for (int b = 0; b < t.bars; ++b) {
        const int chord = t.progression[b % 4];
        const int start = b * bar;
        // Pad and bass.
        for (int tone = 0; tone < 3; ++tone)
            AddNote(s, start, bar - beat / 4, NoteHz(ScaleNote(t, chord + 2 * tone) - 12), 0.10,
                    Voice::Flute);
        for (int q = 0; q < 4; q += 2)
            AddNote(s, start + q * beat, beat * 2 - beat / 4, NoteHz(ScaleNote(t, chord) - 24), 0.28,
                    Voice::Pluck);
        // Melody on chord tones and their neighbours.
        for (int e = 0; e < 8; ++e) {
            if ((e == 3 || e == 7) && (b + e) % 3 == 0) continue; // breathing rests
            const int step = motif[e] + (b >= t.bars / 2 && e >= 4 ? 1 : 0);
            const int degree = chord + (step % 2 == 0 ? step : step + 1) % 7;
            const int len = e % 2 == 0 ? beat / 2 : beat / 2 - beat / 8;
            AddNote(s, start + e * beat / 2, len, NoteHz(ScaleNote(t, degree) + 12), 0.22, t.lead);
        }
        if (t.drums) {
            for (int q = 0; q < 4; ++q) {
                if (q % 2 == 0) AddKick(s, start + q * beat, 0.35);
                AddNoise(s, start + q * beat + beat / 2, Samples(0.05), 0.06, r);
            }
        }
    }
    FoldTail(s, loop);
    return s;
}

// A syllable of a voice: a pulse train through two vowel formants.
void AddSyllable(Signal& s, std::size_t start, int length, double f0, double rise, int vowel) {
    static const double kFormants[5][2] = {{800, 1200}, {300, 2300}, {350, 1300}, {500, 1900}, {500, 900}};
    const double f1 = kFormants[vowel][0], f2 = kFormants[vowel][1];
    double y1a = 0, y2a = 0, y1b = 0, y2b = 0, phase = 0;
    auto coeffs = [](double f, double bw, double& a1, double& a2) {
        const double rr = std::exp(-kPi * bw / kSoundRate);
        a1 = 2 * rr * std::cos(2 * kPi * f / kSoundRate);
        a2 = -rr * rr;
    };
    double a1a, a2a, a1b, a2b;
    coeffs(f1, 90, a1a, a2a);
    coeffs(f2, 120, a1b, a2b);
    for (int i = 0; i < length && start + static_cast<std::size_t>(i) < s.size(); ++i) {
        const double u = static_cast<double>(i) / length;
        const double f = f0 * (1.0 + rise * u);
        phase += f / kSoundRate;
        const double pulse = phase - std::floor(phase) < 0.5 ? 1.0 : -1.0;
        const double ya = pulse + a1a * y1a + a2a * y2a;
        y2a = y1a;
        y1a = ya;
        const double yb = pulse + a1b * y1b + a2b * y2b;
        y2b = y1b;
        y1b = yb;
        const double env = std::sin(kPi * u) * std::sin(kPi * u);
        s[start + static_cast<std::size_t>(i)] += static_cast<float>((ya * 0.6 + yb * 0.4) * env * 0.02);
    }
}
} // namespace

Bytes BuildMusic(const Asset& a) {
    const std::vector<short> pcm = ToPcm(Music(a.param));
    return fixtures::WriteOgg(std::vector<std::int16_t>(pcm.begin(), pcm.end()), 1, kSoundRate, 0.1f);
}

Bytes BuildInterfaceSound(const Asset& a) {
    static const int kNotes[5][4] = {
        {88, 0, 0, 0}, {81, 88, 0, 0}, {76, 71, 0, 0}, {84, 0, 0, 0}, {72, 76, 79, 84}};
    static const float kLevel[5] = {0.4f, 0.7f, 0.6f, 0.35f, 0.7f};
    const int step = Samples(a.param == 4 ? 0.06 : 0.07);
    Signal s(static_cast<std::size_t>(Samples(0.45)), 0.0f);
    for (int i = 0; i < 4 && kNotes[a.param][i]; ++i)
        AddNote(s, i * step, step, NoteHz(kNotes[a.param][i]), 0.4,
                a.param == 1 || a.param == 4 ? Voice::Bell : Voice::Pluck);
    return Wave(s, kLevel[a.param]);
}

Bytes BuildAmbience(const Asset& a) {
    Random r(static_cast<std::uint32_t>(a.param + 40));
    if (a.param == 1) {
        Signal s(static_cast<std::size_t>(Samples(2.4)), 0.0f);
        for (int i = 0; i < 6; ++i)
            AddNote(s, i * Samples(0.22) + r.Range(0, 800), Samples(0.1), NoteHz(84 + (r.Range(0, 5) * 2)),
                    0.3, Voice::Bell);
        return Wave(s, 0.5f);
    }
    // Wind: noise through a slowly moving low-pass, in a loop of four seconds.
    const std::size_t loop = static_cast<std::size_t>(Samples(4.0));
    Signal s(loop + static_cast<std::size_t>(Samples(0.5)), 0.0f);
    double y = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double u = static_cast<double>(i % loop) / loop;
        const double cutoff = 0.02 + 0.03 * (0.5 + 0.5 * std::sin(2 * kPi * u * 2));
        const double noise = (static_cast<int>(r.Next() % 2001) - 1000) / 1000.0;
        y += cutoff * (noise - y);
        const double swell = 0.6 + 0.4 * std::sin(2 * kPi * u);
        s[i] = static_cast<float>(y * swell);
    }
    // The start fades in over the overhang, so the loop's end runs on into its start without a seam.
    for (std::size_t i = loop; i < s.size(); ++i) {
        const double w = static_cast<double>(i - loop) / (s.size() - loop);
        s[i - loop] = static_cast<float>(s[i - loop] * w + s[i] * (1.0 - w));
    }
    s.resize(loop);
    return Wave(s, 0.3f);
}

Bytes BuildVoice(const Asset& a) {
    static const double kPitch[4] = {230, 300, 260, 210};
    const int speaker = std::clamp(a.param / 100, 0, 3);
    Random r(static_cast<std::uint32_t>(a.param * 131 + 3));
    const int syllables = r.Range(4, 8);
    const int length = Samples(0.11);
    Signal s(static_cast<std::size_t>(length * syllables + Samples(0.2)), 0.0f);
    for (int i = 0; i < syllables; ++i) {
        const double f0 =
            kPitch[speaker] * (1.0 + 0.08 * std::sin(i * 1.3 + a.param)) * (i == syllables - 1 ? 1.1 : 1.0);
        AddSyllable(s, static_cast<std::size_t>(i * length), length + length / 4, f0,
                    i == syllables - 1 ? 0.15 : -0.05, r.Range(0, 5));
    }
    return Wave(s);
}
} // namespace demo
